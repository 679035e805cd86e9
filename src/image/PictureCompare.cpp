#include "image/PictureCompare.h"

#include <algorithm>
#include <array>

namespace kel {

namespace {

PictureComparison::Outcome outcomeOf(const PictureView& picture, const PictureView& reference)
{
    if (picture.isEmpty() || reference.isEmpty())
        return PictureComparison::Outcome::Empty;
    if (picture.width() != reference.width() || picture.height() != reference.height())
        return PictureComparison::Outcome::DifferentSizes;
    if (picture.kind() != reference.kind())
        return PictureComparison::Outcome::DifferentKinds;
    return PictureComparison::Outcome::Compared;
}

inline int absoluteDifference(quint8 a, quint8 b)
{
    return a > b ? a - b : b - a;
}

} // namespace

PictureComparison comparePictures(const PictureView& picture, const PictureView& reference,
                                  int threshold)
{
    PictureComparison result;
    result.threshold = std::clamp(threshold, 0, 255);
    result.outcome = outcomeOf(picture, reference);
    if (!result.compared())
        return result;

    const int bytes = picture.bytesPerPixel();
    std::array<quint64, 3> sums{};
    std::array<int, 3> largest{};
    quint64 over = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const quint8* a = picture.row(y);
        const quint8* b = reference.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            int pixelLargest = 0;
            for (int c = 0; c < bytes; ++c) {
                const int d = absoluteDifference(a[bytes * x + c], b[bytes * x + c]);
                sums[c] += unsigned(d);
                pixelLargest = std::max(pixelLargest, d);
                largest[c] = std::max(largest[c], d);
            }
            over += pixelLargest > result.threshold ? 1 : 0;
        }
    }
    result.pixels = quint64(picture.width()) * quint64(picture.height());
    result.pixelsOverThreshold = over;
    for (const Channel channel : picture.channels()) {
        const int c = picture.offsetOf(channel);
        result.channels.push_back({channel, double(sums[c]) / double(result.pixels), largest[c]});
    }
    return result;
}

Picture differencePicture(const PictureView& picture, const PictureView& reference)
{
    Picture difference;
    if (outcomeOf(picture, reference) != PictureComparison::Outcome::Compared)
        return difference;
    const int rowBytes = picture.bytesPerPixel() * picture.width();
    difference.kind = picture.kind();
    difference.pixels.recreate(rowBytes, picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        const quint8* a = picture.row(y);
        const quint8* b = reference.row(y);
        quint8* out = difference.pixels.row(y);
        for (int i = 0; i < rowBytes; ++i)
            out[i] = static_cast<quint8>(absoluteDifference(a[i], b[i]));
    }
    return difference;
}

} // namespace kel
