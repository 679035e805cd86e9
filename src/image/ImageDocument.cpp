#include "image/ImageDocument.h"
#include "image/BitmapFile.h"
#include "image/ImageFiles.h"

#include "core/AppCore.h"
#include "core/FileCopy.h"
#include "core/WorkFolders.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <utility>

namespace kel {

ImageDocument::ImageDocument(QString workDir, QObject* parent)
    : QObject(parent), m_workDir(std::move(workDir))
{
}

QString ImageDocument::workFile(const QString& name) const
{
    return m_workDir + QLatin1Char('/') + name;
}

void ImageDocument::setOrigin(PictureOrigin origin, const QString& file)
{
    m_origin = origin;
    m_originFile = origin == PictureOrigin::File ? file : QString();
    emit changed();
}

void ImageDocument::takeFetched()
{
    blnNotSaved = true;
    m_pictureIsBitmap = false;
    setOrigin(PictureOrigin::Sensor);
}

const SensorImage* ImageDocument::pictureMosaic() const
{
    if (m_origin == PictureOrigin::None || m_pictureIsBitmap)
        return nullptr;
    return &state.CurrentImage;
}

void ImageDocument::takeSaved(const QString& path)
{
    blnNotSaved = false;
    setOrigin(PictureOrigin::File, path);
}

bool ImageDocument::hasWorkFile(AppCore& core, const QString& name) const
{
    if (QFile::exists(workFile(name)))
        return true;
    core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
    return false;
}

namespace {

const QString kOpeningFolder = QStringLiteral("opening");

} // namespace

bool ImageDocument::replaceWithOpened(AppCore& core,
                                      const std::function<bool(ImageState&, const QString&)>& open)
{
    const QString folder = workFile(kOpeningFolder);
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder)) {
        core.ShowFailure(QDir::toNativeSeparators(folder) + QStringLiteral(": cannot be made"));
        return false;
    }
    ImageState opened = state;
    bool replaced = open(opened, folder);
    if (replaced) {
        const QStringList names = QDir(folder).entryList(QDir::Files);
        for (const QString& name : names) {
            const QString target = workFile(name);
            QFile::remove(target);
            if (!QFile::rename(folder + QLatin1Char('/') + name, target)) {
                core.ShowFailure(QDir::toNativeSeparators(target) +
                                 QStringLiteral(": cannot be replaced"));
                replaced = false;
                break;
            }
        }
    }
    QDir(folder).removeRecursively();
    if (!replaced)
        return false;
    state = opened;
    blnNotSaved = false;
    return true;
}

KelConversion ImageDocument::openKel(AppCore& core, const QString& path, ImageKind kind,
                                     const KelConversionSteps& steps)
{
    KelConversion opened;
    if (replaceWithOpened(core, [&](ImageState& staged, const QString& folder) {
            opened = fncConvertKelFile(core, staged, folder, path, kind, steps);
            return static_cast<bool>(opened);
        })) {
        opened.bitmap = workFile(kTmpBmp);
        m_pictureIsBitmap = false;
        setOrigin(PictureOrigin::File, path);
    } else if (opened) {
        opened = {}; // converted, but its files could not take the working files' place
        opened.failure = KelConversion::Failure::File;
    }
    return opened;
}

namespace {

// The grey levels of the bitmap just read as a raw image of the same size, row 0 at the top.
void takeGreyPicture(ImageState& state)
{
    const ByteGrid& picture = state.BitmapPixels;
    SensorImage grey;
    grey.Width = static_cast<qint16>(picture.columns());
    grey.Height = static_cast<qint16>(picture.rows());
    grey.Pixels.recreate(picture.columns(), picture.rows());
    for (int y = 0; y < picture.rows(); ++y)
        std::copy_n(picture.row(picture.rows() - 1 - y), picture.columns(), grey.Pixels.row(y));
    state.CurrentImage = std::move(grey);
    state.UploadImage = {}; // a grey picture holds nothing the sensor's filter can take
}

} // namespace

std::optional<ImageKind> ImageDocument::openBitmap(AppCore& core, const QString& path)
{
    ImageKind kind = ImageKind::Colour;
    const bool opened = replaceWithOpened(core, [&](ImageState& staged, const QString& folder) {
        if (!fncReadBmpFile(core, staged, path))
            return false;
        if (isGreySensorBitmap(staged)) {
            kind = ImageKind::Grey;
            takeGreyPicture(staged);
        } else if (!isSensorBitmap(staged)) {
            core.ShowMessageOrFailure(kSectionMessage, MsgBitmapNotOpened,
                                      {QDir::toNativeSeparators(path)});
            return false;
        } else {
            if (!fncBmpToMosaic(core, staged))
                return false;
            staged.CurrentImage = staged.UploadImage;
            if (!fncMakeTmpBinFile(core, staged, folder + QLatin1Char('/') + kTmpBin))
                return false;
        }
        QString failure;
        if (!replaceWithCopy(path, folder + QLatin1Char('/') + kTmpBmp, &failure)) {
            core.ShowFailure(failure);
            return false;
        }
        return true;
    });
    if (!opened)
        return std::nullopt;
    // Only a colour picture has a raw file to save as a sensor image file.
    if (kind == ImageKind::Grey)
        QFile::remove(workFile(kTmpBin));
    m_pictureIsBitmap = true;
    setOrigin(PictureOrigin::File, path);
    return kind;
}

bool ImageDocument::saveKel(AppCore& core, const QString& path)
{
    if (!fncWriteFile_KEL(core, state, path))
        return false;
    takeSaved(path);
    return true;
}

bool ImageDocument::saveBitmap(AppCore& core, const QString& path)
{
    QString failure;
    if (!replaceWithCopy(workFile(kTmpBmp), path, &failure)) {
        core.ShowFailure(failure);
        return false;
    }
    takeSaved(path);
    return true;
}

} // namespace kel
