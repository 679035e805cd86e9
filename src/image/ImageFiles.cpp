#include "image/ImageFiles.h"
#include "image/FileAccess.h"
#include "image/FileProblem.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace kel {

namespace {

// Fills pixels (already of the intended extent) from in, then the trailer from whatever of
// its two bytes the file still holds.
bool readPixelsAndTrailer(QIODevice& in, ByteGrid& pixels, std::array<quint8, 2>& trailer,
                          FileProblem& problem)
{
    const qint64 count = static_cast<qint64>(pixels.size());
    const qint64 start = in.pos();
    if (in.read(reinterpret_cast<char*>(pixels.data()), count) != count) {
        problem = FileProblem::cutShort(in.size(), static_cast<quint64>(start + count));
        return false;
    }
    trailer = {};
    const qint64 got = in.read(reinterpret_cast<char*>(trailer.data()), kTrailerSize);
    if (got < 0) {
        problem = FileProblem::systemFailure(QStringLiteral("Device I/O error"));
        return false;
    }
    return true;
}

// Whether a width x height pixel block fits the bytes left in the device.
bool pixelsFit(const QIODevice& in, qint16 width, qint16 height, FileProblem& problem)
{
    if (width <= 0 || height <= 0) {
        problem = FileProblem::noImageSize(width, height);
        return false;
    }
    const qint64 pixels = static_cast<qint64>(width) * height;
    if (pixels > in.size() - in.pos()) {
        problem = FileProblem::cutShort(in.size(), static_cast<quint64>(in.pos() + pixels));
        return false;
    }
    return true;
}

void showFailure(AppCore& core, const QString& failure, const QString& path)
{
    core.ShowFailure(describeFailure(failure, path));
}

} // namespace

bool readRawImage(QIODevice& in, ImageState& state, FileProblem& problem)
{
    SensorImage& image = state.CurrentImage;
    if (!pixelsFit(in, image.Width, image.Height, problem))
        return false;
    ByteGrid pixels(image.Width, image.Height);
    std::array<quint8, 2> trailer{};
    if (!readPixelsAndTrailer(in, pixels, trailer, problem))
        return false;
    image.Pixels = std::move(pixels);
    image.Trailer = trailer;
    state.BitmapWidth = image.Width;
    state.BitmapHeight = image.Height;
    return true;
}

bool readKelImage(QIODevice& in, ImageState& state, FileProblem& problem)
{
    std::array<quint8, kKelHeaderSize> header{};
    if (in.read(reinterpret_cast<char*>(header.data()), kKelHeaderSize) != kKelHeaderSize) {
        problem = FileProblem::cutShort(in.size(), kKelHeaderSize);
        return false;
    }
    SensorImage image;
    std::memcpy(image.ModelName.data(), header.data(), image.ModelName.size());
    image.BayerPhase = header[8];
    image.GainR = header[9];
    image.GainG = header[10];
    image.GainB = header[11];
    image.Width = static_cast<qint16>(header[12] | header[13] << 8);
    image.Height = static_cast<qint16>(header[14] | header[15] << 8);
    if (!pixelsFit(in, image.Width, image.Height, problem))
        return false;
    image.Pixels.recreate(image.Width, image.Height);
    if (!readPixelsAndTrailer(in, image.Pixels, image.Trailer, problem))
        return false;
    state.CurrentImage = std::move(image);
    state.BitmapWidth = state.CurrentImage.Width;
    state.BitmapHeight = state.CurrentImage.Height;
    return true;
}

QByteArray kelFileBytes(const SensorImage& image, QString& failure)
{
    const int width = image.Width;
    const int height = image.Height;
    if (width <= 0 || height <= 0) {
        failure = QLatin1String(kSubscriptOutOfRange);
        return {};
    }
    QByteArray bytes(kKelHeaderSize + static_cast<qsizetype>(width) * height + kTrailerSize, '\0');
    auto* out = reinterpret_cast<quint8*>(bytes.data());
    std::memcpy(out, image.ModelName.data(), image.ModelName.size());
    const quint8 header[] = {image.BayerPhase,
                             image.GainR,
                             image.GainG,
                             image.GainB,
                             static_cast<quint8>(width & 0xFF),
                             static_cast<quint8>(width >> 8),
                             static_cast<quint8>(height & 0xFF),
                             static_cast<quint8>(height >> 8)};
    std::memcpy(out + 8, header, sizeof header);

    // The header's size decides the layout; an extent of Pixels that differs (the upload file
    // has 480 rows whatever the height) is cut or filled with zeros.
    quint8* pixels = out + kKelHeaderSize;
    const int copyColumns = std::min(width, image.Pixels.columns());
    const int copyRows = std::min(height, image.Pixels.rows());
    for (int y = 0; y < copyRows; ++y)
        std::memcpy(pixels + static_cast<qsizetype>(y) * width, image.Pixels.row(y),
                    static_cast<std::size_t>(copyColumns));
    std::memcpy(pixels + static_cast<qsizetype>(width) * height, image.Trailer.data(),
                kTrailerSize);
    return bytes;
}

bool fncReadTmpBinFile(ImageState& state, const QString& path)
{
    QFile file;
    QString failure;
    FileProblem problem;
    return openForReading(file, path, failure) && readRawImage(file, state, problem);
}

bool fncReadFile_KEL(AppCore& core, ImageState& state, const QString& path)
{
    QFile file;
    QString failure;
    if (!openForReading(file, path, failure)) {
        core.ShowFailure(failure);
        return false;
    }
    FileProblem problem;
    if (!readKelImage(file, state, problem)) {
        file.close();
        core.ShowFailure(describeFileProblem(core, path, problem));
        return false;
    }
    return true;
}

bool fncWriteFile_KEL(AppCore& core, const ImageState& state, const QString& path)
{
    QString failure;
    const QByteArray bytes = kelFileBytes(state.CurrentImage, failure);
    if (bytes.isEmpty()) {
        showFailure(core, failure, path);
        return false;
    }
    if (!writeWholeFile(path, bytes, failure)) {
        core.ShowFailure(failure);
        return false;
    }
    return true;
}

bool fncMakeTmpBinFile(AppCore& core, ImageState& state, const QString& path)
{
    QFile::remove(path);
    SensorImage& image = state.CurrentImage;
    if (image.Width <= 0 || image.Pixels.columns() != image.Width) {
        showFailure(core, QLatin1String(kSubscriptOutOfRange), path);
        return false;
    }
    image.Pixels.resizeRows(kUploadFileRows);
    const QByteArray bytes(reinterpret_cast<const char*>(image.Pixels.data()),
                           static_cast<qsizetype>(image.Pixels.size()));
    QString failure;
    if (!recreateWorkFile(path, bytes, failure)) {
        QFile::remove(path);
        core.ShowFailure(failure);
        return false;
    }
    return true;
}

} // namespace kel
