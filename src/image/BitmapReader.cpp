#include "core/VbConvert.h"
#include "image/BitmapFile.h"
#include "image/FileAccess.h"
#include "image/FileProblem.h"
#include "image/MosaicSampling.h"

#include <QFile>
#include <algorithm>
#include <limits>

namespace kel {

namespace {

constexpr quint32 kSensorBitCount = 24;
constexpr quint32 kGreyBitCount = 8;
constexpr quint32 kUncompressed = 0;
constexpr qint64 kFileHeaderSize = 14;
constexpr quint32 kInfoHeaderSize = 40; // the smallest header with four-byte colour entries
constexpr quint32 kMaxColourEntries = 256;
constexpr quint8 kImportPhase = 3;

// The header's width and height as positive 32-bit numbers. A negative height is a top-down
// bitmap, which this reader does not turn; any other size of 0 or less holds no image.
bool headerSizes(const BitmapHeaderRecord& header, qint32& width, qint32& height,
                 FileProblem& problem)
{
    width = static_cast<qint32>(BytesToLong(header.biWidth));
    height = static_cast<qint32>(BytesToLong(header.biHeight));
    if (width > 0 && height < 0) {
        problem = FileProblem::topDown();
        return false;
    }
    if (width <= 0 || height <= 0) {
        problem = FileProblem::noImageSize(width, height);
        return false;
    }
    return true;
}

// The pixels of an uncompressed 8-bit bitmap as grey levels, one byte a pixel, bottom row first,
// when its colour table holds greys only. A table with a colour in it, or a pixel beyond the
// table, leaves pixels empty: the bitmap is then refused as one of another depth is. False,
// with problem, only for a file that ends before its table or its rows do.
bool readGreyPixels(QIODevice& in, const BitmapHeaderRecord& header, qint32 width, qint32 height,
                    ByteGrid& pixels, FileProblem& problem)
{
    const quint32 infoSize = BytesToLong(header.biSize);
    const quint32 used = BytesToLong(header.biClrUsed);
    const quint32 entries = used == 0 ? kMaxColourEntries : used;
    if (BytesToLong(header.biCompression) != kUncompressed || infoSize < kInfoHeaderSize ||
        entries > kMaxColourEntries)
        return true;
    const qint64 tableAt = kFileHeaderSize + infoSize;
    const qint64 tableEnd = tableAt + 4 * qint64(entries);
    if (tableEnd > in.size() || !in.seek(tableAt)) {
        problem = FileProblem::cutShort(in.size(), static_cast<quint64>(tableEnd));
        return false;
    }
    const QByteArray table = in.read(tableEnd - tableAt);
    if (table.size() != tableEnd - tableAt) {
        problem = FileProblem::cutShort(in.size(), static_cast<quint64>(tableEnd));
        return false;
    }
    std::array<quint8, kMaxColourEntries> level{};
    for (quint32 i = 0; i < entries; ++i) {
        const auto blue = static_cast<quint8>(table[4 * i]);
        if (static_cast<quint8>(table[4 * i + 1]) != blue ||
            static_cast<quint8>(table[4 * i + 2]) != blue)
            return true;
        level[i] = blue;
    }

    // Rows are padded to whole four-byte groups; the last one need not be.
    const qint64 offset = std::max<qint64>(BytesToLong(header.bfOffBits), tableEnd);
    const qint64 stride = (qint64(width) + 3) / 4 * 4;
    const quint64 needed = static_cast<quint64>(offset) +
                           static_cast<quint64>(stride) * static_cast<quint64>(height - 1) +
                           static_cast<quint64>(width);
    if (needed > static_cast<quint64>(in.size()) || !in.seek(offset)) {
        problem = FileProblem::cutShort(in.size(), needed);
        return false;
    }
    const QByteArray stored = in.read(static_cast<qint64>(needed) - offset);
    if (stored.size() != static_cast<qint64>(needed) - offset) {
        problem = FileProblem::cutShort(in.size(), needed);
        return false;
    }
    ByteGrid grey(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const quint8*>(stored.constData()) + y * stride;
        quint8* target = grey.row(y);
        for (int x = 0; x < width; ++x) {
            if (source[x] >= entries)
                return true;
            target[x] = level[source[x]];
        }
    }
    pixels = std::move(grey);
    return true;
}

} // namespace

bool readBitmap(QIODevice& in, ImageState& state, FileProblem& problem)
{
    std::array<quint8, kBitmapHeaderSize> headerBytes{};
    const qint64 got = in.read(reinterpret_cast<char*>(headerBytes.data()), kBitmapHeaderSize);
    if (got < 0) {
        problem = FileProblem::systemFailure(QStringLiteral("Device I/O error"));
        return false;
    }
    // A text file, say, is no bitmap cut short, however short it is.
    if (got < 2 || headerBytes[0] != 'B' || headerBytes[1] != 'M') {
        problem = FileProblem::notBitmap();
        return false;
    }
    if (got != kBitmapHeaderSize) {
        problem = FileProblem::cutShort(in.size(), kBitmapHeaderSize);
        return false;
    }
    const BitmapHeaderRecord header = BitmapHeaderRecord::fromBytes(headerBytes);
    qint32 width = 0;
    qint32 height = 0;
    if (!headerSizes(header, width, height, problem))
        return false;

    ByteGrid pixels;
    const quint32 bitCount = BytesToLong(header.biBitCount);
    if (bitCount == kGreyBitCount && !readGreyPixels(in, header, width, height, pixels, problem))
        return false;
    if (bitCount == kSensorBitCount) {
        // Larger headers (version 4 and 5, written by many programs) and colour tables put the
        // pixels further back; the header's offset says where.
        const qint64 offset = std::max<qint64>(BytesToLong(header.bfOffBits), kBitmapHeaderSize);
        const qint64 left = in.size() - offset;
        const qint64 rowBytes = 3LL * width;
        // Cannot overflow: 3 x (2^31 - 1)^2 + 2^32 is below 2^64.
        const quint64 needed =
            static_cast<quint64>(offset) + static_cast<quint64>(rowBytes) * height;
        if (rowBytes > std::numeric_limits<int>::max() || left < rowBytes ||
            height > left / rowBytes || !in.seek(offset)) {
            problem = FileProblem::cutShort(in.size(), needed);
            return false;
        }
        pixels.recreate(static_cast<int>(rowBytes), height);
        const auto count = static_cast<qint64>(pixels.size());
        if (in.read(reinterpret_cast<char*>(pixels.data()), count) != count) {
            problem = FileProblem::cutShort(in.size(), needed);
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
    FileProblem problem;
    if (!readBitmap(file, state, problem)) {
        file.close();
        core.ShowFailure(describeFileProblem(core, path, problem));
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

bool isGreySensorBitmap(const ImageState& state)
{
    const int height = state.BitmapHeight;
    return BytesToLong(state.BitmapHeader.biBitCount) == kGreyBitCount &&
           state.BitmapWidth == kSensorWidth && state.BitmapPixels.columns() == kSensorWidth &&
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

    sampleMosaic(picture, kImportPhase, mosaic.Pixels);
    return true;
}

} // namespace kel
