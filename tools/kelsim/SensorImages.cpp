#include "SensorImages.h"

#include "image/BayerLayout.h"
#include "image/Gains.h"
#include "image/ImageState.h"
#include "image/PictureConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kel::sim {

namespace {

quint8 luminance(int r, int g, int b)
{
    return static_cast<quint8>(std::lround(0.299 * r + 0.587 * g + 0.114 * b));
}

void setInfo(SensorImage& image, const ImageInfo& info)
{
    image.BayerPhase = info.phase;
    image.GainR = info.gains[0];
    image.GainG = info.gains[1];
    image.GainB = info.gains[2];
}

} // namespace

ByteGrid mosaicOf(const RgbPicture& picture, const ImageInfo& info)
{
    ImageState state;
    setInfo(state.UploadImage, info);
    ByteGrid& trueValues = state.UploadImage.Pixels;
    trueValues.recreate(picture.width(), picture.height());
    const BayerLayout layout(info.phase);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb& pixel = picture.at(x, y);
            switch (layout.colourAt(x, y)) {
            case SiteColour::Red:
                trueValues.at(x, y) = pixel.r;
                break;
            case SiteColour::Green:
                trueValues.at(x, y) = pixel.g;
                break;
            case SiteColour::Blue:
                trueValues.at(x, y) = pixel.b;
                break;
            }
        }
    }
    // The PC multiplies by the gains when it converts; the image library's own inverse
    // keeps the two roundings matched.
    fncRemoveGains(state);
    return state.CurrentImage.Pixels;
}

ByteGrid greyOf(const RgbPicture& picture)
{
    ByteGrid grey(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb& pixel = picture.at(x, y);
            grey.at(x, y) = luminance(pixel.r, pixel.g, pixel.b);
        }
    }
    return grey;
}

SensorImages::SensorImages(const ImageInfo& info) : m_info(info)
{
    const RgbPicture scene = drawScene(kSensorWidth, rowsOfSizeCode(info.sizeCode));
    m_mosaic = mosaicOf(scene, info);
    m_grey = greyOf(scene);
}

void SensorImages::holdUpload(const QByteArray& upload)
{
    const int width = kSensorWidth;
    const int height = rowsOfSizeCode(m_info.sizeCode);
    m_mosaic.recreate(width, height);
    const std::size_t count = std::min<std::size_t>(m_mosaic.size(), upload.size());
    std::memcpy(m_mosaic.data(), upload.constData(), count);

    ImageState state;
    setInfo(state.CurrentImage, m_info);
    state.CurrentImage.Pixels = m_mosaic;
    fncColorConvert(state); // blue, green, red per pixel, bottom row first
    m_grey.recreate(width, height);
    for (int y = 0; y < height; ++y) {
        const quint8* bgr = state.BitmapPixels.row(height - 1 - y);
        for (int x = 0; x < width; ++x)
            m_grey.at(x, y) = luminance(bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]);
    }
}

QByteArray SensorImages::fileOf(const ByteGrid& grid)
{
    QByteArray file(reinterpret_cast<const char*>(grid.data()),
                    static_cast<qsizetype>(grid.size()));
    for (const quint8 byte : kImageTrailer)
        file.append(static_cast<char>(byte));
    return file;
}

} // namespace kel::sim
