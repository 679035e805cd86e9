#include "core/WorkFolders.h"
#include "image/BitmapFile.h"
#include "image/FileAccess.h"

#include <cstring>
#include <limits>

namespace kel {

namespace {

constexpr quint32 kBitmapSignature = 0x4D42; // "BM"
constexpr quint32 kInfoHeaderSize = 40;
static_assert(sizeof(GreyPaletteTable) == kGreyPaletteSize,
              "palette entries are written as one block");

void fillHeader(BitmapHeaderRecord& h, qint32 width, qint32 height, ImageKind kind,
                quint32 pixelBytes)
{
    const bool grey = kind == ImageKind::Grey;
    const quint32 offset = kBitmapHeaderSize + (grey ? kGreyPaletteSize : 0);
    h = {};
    LongToBytes(h.bfType, kBitmapSignature);
    LongToBytes(h.bfSize, offset + pixelBytes);
    LongToBytes(h.bfOffBits, offset);
    LongToBytes(h.biSize, kInfoHeaderSize);
    LongToBytes(h.biWidth, static_cast<quint32>(width));
    LongToBytes(h.biHeight, static_cast<quint32>(height));
    LongToBytes(h.biPlanes, 1);
    LongToBytes(h.biBitCount, grey ? 8 : 24);
    LongToBytes(h.biSizeImage, pixelBytes);
    LongToBytes(h.biXPelsPerMeter, kPixelsPerMetre);
    LongToBytes(h.biYPelsPerMeter, kPixelsPerMetre);
    LongToBytes(h.biClrUsed, grey ? 256 : 0);
}

} // namespace

QByteArray bitmapFileBytes(ImageState& state, ImageKind kind)
{
    const qint64 width = state.BitmapWidth;
    const qint64 height = state.BitmapHeight;
    const qint64 bytesPerPixel = kind == ImageKind::Grey ? 1 : 3;
    const ByteGrid& pixels = state.BitmapPixels;
    if (width <= 0 || height <= 0 || pixels.columns() != bytesPerPixel * width ||
        pixels.rows() != height)
        return {};
    const qint64 rowBytes = bytesPerPixel * width;
    const qint64 paddedRowBytes = (rowBytes + 3) / 4 * 4;
    const qint64 pixelBytes = paddedRowBytes * height;
    const qint64 offset = kBitmapHeaderSize + (kind == ImageKind::Grey ? kGreyPaletteSize : 0);
    if (offset + pixelBytes > std::numeric_limits<qint32>::max())
        return {};

    fillHeader(state.BitmapHeader, state.BitmapWidth, state.BitmapHeight, kind,
               static_cast<quint32>(pixelBytes));
    QByteArray bytes(offset + pixelBytes, Qt::Uninitialized);
    char* out = bytes.data();
    const auto header = state.BitmapHeader.toBytes();
    std::memcpy(out, header.data(), header.size());
    out += header.size();
    if (kind == ImageKind::Grey) {
        for (int i = 0; i < 256; ++i) {
            const auto level = static_cast<quint8>(i);
            state.GreyPalette[i] = {level, level, level, 0};
        }
        std::memcpy(out, state.GreyPalette.data(), kGreyPaletteSize);
        out += kGreyPaletteSize;
    }
    for (qint64 r = 0; r < height; ++r, out += paddedRowBytes) {
        std::memcpy(out, pixels.row(static_cast<int>(r)), static_cast<std::size_t>(rowBytes));
        std::memset(out + rowBytes, 0, static_cast<std::size_t>(paddedRowBytes - rowBytes));
    }
    return bytes;
}

QString fncWriteBmpFile(const QString& workDir, ImageState& state, ImageKind kind)
{
    const QByteArray bytes = bitmapFileBytes(state, kind);
    if (bytes.isEmpty())
        return {};
    const QString path = workDir + QLatin1Char('/') + kTmpBmp;
    QString failure;
    return recreateWorkFile(path, bytes, failure) ? path : QString();
}

} // namespace kel
