#include "image/ImageDocument.h"
#include "image/BitmapFile.h"
#include "image/ImageFiles.h"

#include "core/AppCore.h"
#include "core/FileCopy.h"
#include "core/WorkFolders.h"

#include <QFile>
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
    setOrigin(PictureOrigin::Sensor);
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

KelConversion ImageDocument::openKel(AppCore& core, const QString& path, ImageKind kind,
                                     const KelConversionSteps& steps)
{
    KelConversion opened = fncConvertKelFile(core, state, m_workDir, path, kind, steps);
    if (opened)
        setOrigin(PictureOrigin::File, path);
    return opened;
}

bool ImageDocument::openBitmap(AppCore& core, const QString& path)
{
    if (!fncReadBmpFile(core, state, path))
        return false;
    if (!isSensorBitmap(state)) {
        core.ShowMessageOrFailure(kSectionMessage, MsgBitmapNotConvertible);
        return false;
    }
    const QString tmpBin = workFile(kTmpBin);
    const QString tmpBmp = workFile(kTmpBmp);
    for (const QString& old : {tmpBin, tmpBmp})
        if (QFile::exists(old))
            QFile::remove(old);
    if (!fncBmpToMosaic(core, state))
        return false;
    state.CurrentImage = state.UploadImage;
    if (!fncMakeTmpBinFile(core, state, tmpBin))
        return false;
    QString failure;
    if (!replaceWithCopy(path, tmpBmp, &failure)) {
        core.ShowFailure(failure);
        return false;
    }
    setOrigin(PictureOrigin::File, path);
    return true;
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
