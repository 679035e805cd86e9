#include "core/VbConvert.h"
#include "image/BayerLayout.h"
#include "image/BitmapFile.h"
#include "image/FileAccess.h"

#include <QFile>
#include <algorithm>
#include <limits>

namespace kel {

namespace {

constexpr quint32 kSensorBitCount = 24;
constexpr quint8 kImportPhase = 3;

// A width or height of the header as a positive 32-bit number. A top-down bitmap's negative
// height does not fit a signed sum of its bytes and fails as an overflow.
bool headerSize(std::span<const quint8> group, qint32& value, QString& failure)
{
    const quint32 sum = BytesToLong(group);
    if (sum > static_cast<quint32>(std::numeric_limits<qint32>::max())) {
        failure = QLatin1String(kOverflow);
        return false;
    }
    if (sum == 0) {
        failure = QLatin1String(kSubscriptOutOfRange);
        return false;
    }
    value = static_cast<qint32>(sum);
    return true;
}

} // namespace

bool readBitmap(QIODevice& in, ImageState& state, QString& failure)
{
    std::array<quint8, kBitmapHeaderSize> headerBytes{};
    if (in.read(reinterpret_cast<char*>(headerBytes.data()), kBitmapHeaderSize) !=
        kBitmapHeaderSize) {
        failure = QLatin1String(kInputPastEndOfFile);
        return false;
    }
    const BitmapHeaderRecord header = BitmapHeaderRecord::fromBytes(headerBytes);
    qint32 width = 0;
    qint32 height = 0;
    if (!headerSize(header.biWidth, width, failure) ||
        !headerSize(header.biHeight, height, failure))
        return false;

    ByteGrid pixels;
    if (BytesToLong(header.biBitCount) == kSensorBitCount) {
        // Larger headers (version 4 and 5, written by many programs) and colour tables put the
        // pixels further back; the header's offset says where.
        const qint64 offset = std::max<qint64>(BytesToLong(header.bfOffBits), kBitmapHeaderSize);
        const qint64 left = in.size() - offset;
        const qint64 rowBytes = 3LL * width;
        if (rowBytes > std::numeric_limits<int>::max()) {
            failure = QLatin1String(kOverflow);
            return false;
        }
        if (left < rowBytes || height > left / rowBytes || !in.seek(offset)) {
            failure = QLatin1String(kInputPastEndOfFile);
            return false;
        }
        pixels.recreate(static_cast<int>(rowBytes), height);
        const auto count = static_cast<qint64>(pixels.size());
        if (in.read(reinterpret_cast<char*>(pixels.data()), count) != count) {
            failure = QLatin1String(kInputPastEndOfFile);
            return false;
        }
    }
    state.BitmapHeader = header;
    state.BitmapWidth = width;
    state.BitmapHeight = height;
    state.BitmapPixels = std::move(pixels);
    return true;
}

bool fncReadBmpFile(AppCore& core, ImageState& state, const QString& path)
{
    QFile file;
    QString failure;
    if (!openForReading(file, path, failure)) {
        core.ShowFailure(failure);
        return false;
    }
    if (!readBitmap(file, state, failure)) {
        file.close();
        core.ShowFailure(describeFailure(failure, path));
        return false;
    }
    return true;
}

bool isSensorBitmap(const ImageState& state)
{
    const int height = state.BitmapHeight;
    return BytesToLong(state.BitmapHeader.biBitCount) == kSensorBitCount &&
           state.BitmapWidth == kSensorWidth &&
           (height == kSensorFullHeight || height == kSensorFullHeight / 2 ||
            height == kSensorFullHeight / 4);
}

bool fncBmpToMosaic(AppCore& core, ImageState& state)
{
    const qint32 width = state.BitmapWidth;
    const qint32 height = state.BitmapHeight;
    if (width > std::numeric_limits<qint16>::max() || height > std::numeric_limits<qint16>::max()) {
        core.ShowFailure(QLatin1String(kOverflow));
        return false;
    }
    const ByteGrid& picture = state.BitmapPixels;
    if (width <= 0 || height <= 0 || picture.columns() != 3 * width || picture.rows() != height) {
        core.ShowFailure(QLatin1String(kSubscriptOutOfRange));
        return false;
    }

    SensorImage& mosaic = state.UploadImage;
    mosaic.BayerPhase = kImportPhase;
    mosaic.GainR = mosaic.GainG = mosaic.GainB = 0;
    mosaic.Width = static_cast<qint16>(width);
    mosaic.Height = static_cast<qint16>(height);
    mosaic.Pixels.recreate(width, height);

    const BayerLayout layout(kImportPhase);
    for (int y = 0; y < height; ++y) {
        const quint8* source = picture.row(height - 1 - y);
        quint8* target = mosaic.Pixels.row(y);
        for (int x = 0; x < width; ++x) {
            // Blue, green and red are the components 0, 1 and 2 of a bitmap pixel.
            int component = 1;
            switch (layout.colourAt(x, y)) {
            case SiteColour::Blue:
                component = 0;
                break;
            case SiteColour::Red:
                component = 2;
                break;
            case SiteColour::Green:
                break;
            }
            target[x] = source[3 * x + component];
        }
    }
    return true;
}

} // namespace kel
