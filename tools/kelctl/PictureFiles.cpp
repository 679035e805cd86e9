#include "PictureFiles.h"

#include "ExitStatus.h"
#include "KelctlText.h"

#include "Arguments.h"
#include "core/MessageNumbers.h"
#include "image/ConvertProcess.h"
#include "image/FileAccess.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <cstring>

namespace kelctl {

namespace {

// An 8-bit picture whose colour table holds only greys is a grey picture; everything else is
// measured as colour, even when all its pixels happen to be grey.
bool isGreyPicture(const QImage& image)
{
    return image.format() == QImage::Format_Grayscale8 ||
           (image.depth() == 8 && image.isGrayscale());
}

} // namespace

int LoadedPicture::load(WorkFolder& work, const QString& path, kel::ImageKind kind)
{
    m_state = {};
    m_image = {};
    const QFileInfo info(path);
    if (!info.isFile()) {
        printError(kelctlText(work.core(), kel::KelctlNoSuchFile, {path}));
        return ExitFileError;
    }
    if (info.suffix().compare(QLatin1String("KEL"), Qt::CaseInsensitive) == 0) {
        const kel::KelConversion converted =
            kel::fncConvertKelFile(work.core(), m_state, work.tmpDir(), path, kind);
        if (!converted)
            return converted.failure == kel::KelConversion::Failure::File ? ExitFileError
                                                                          : ExitFailure;
        return ExitOk;
    }
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        printError(kelctlText(work.core(), kel::KelctlNotAPicture, {path}));
        return ExitUsage;
    }
    m_image = isGreyPicture(image) ? image.convertToFormat(QImage::Format_Grayscale8)
                                   : image.convertToFormat(QImage::Format_BGR888);
    return ExitOk;
}

kel::PictureView LoadedPicture::view() const
{
    if (m_image.isNull())
        return kel::convertedPicture(m_state);
    const kel::ImageKind kind = m_image.format() == QImage::Format_Grayscale8
                                    ? kel::ImageKind::Grey
                                    : kel::ImageKind::Colour;
    return {m_image.constBits(), m_image.bytesPerLine(), m_image.width(), m_image.height(), kind};
}

QImage imageOf(const kel::PictureView& picture)
{
    if (picture.isEmpty())
        return {};
    QImage image(picture.width(), picture.height(),
                 picture.kind() == kel::ImageKind::Colour ? QImage::Format_BGR888
                                                          : QImage::Format_Grayscale8);
    const auto rowBytes = static_cast<std::size_t>(picture.bytesPerPixel() * picture.width());
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(image.scanLine(y), picture.row(y), rowBytes);
    return image;
}

bool writePng(kel::AppCore& core, const kel::PictureView& picture, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    QString failure;
    if (!writer.write(imageOf(picture)))
        failure = kel::describeFailure(writer.errorString(), path);
    else if (kel::writeWholeFile(path, bytes, failure))
        return true;
    core.ShowFailure(failure);
    return false;
}

} // namespace kelctl
