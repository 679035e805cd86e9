// The image transfers: fetch the sensor's image into tmp.bin, load tmp_2.bin into the sensor.

#include "core/AppCore.h"
#include "core/WorkFolders.h"
#include "sensor/FetchPreview.h"
#include "sensor/SensorProtocol.h"
#include "sensor/frmWait.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <exception>

namespace kel {

bool frmWait::fncImgConvert(bool colour)
{
    bool result = false;
    try {
        ProgressBar1->setVisible(true);
        if (m_previewHeader && m_previewHeader->Width > 0 && m_previewHeader->Height > 0) {
            const ImageKind kind = colour ? ImageKind::Colour : ImageKind::Grey;
            m_preview = std::make_shared<sensor::FetchPreview>(
                *m_previewHeader, kind, m_line.clock(),
                [this](const PartialPicture& picture) { showPicture(picture); });
            picPreview->setFixedSize(m_previewHeader->Width, m_previewHeader->Height);
            picPreview->setVisible(true);
        }
        begin();
        const QString folder = m_core.paths().tmpDir();
        QDir().mkpath(folder);
        const QString file = folder + QLatin1Char('/') + kTmpBin;
        if (QFile::exists(file))
            QFile::remove(file); // a fetch starts from an empty slot, even when it then fails
        result = exchangeAndTransfer(colour ? sensor::kImageSaveColour : sensor::kImageSaveGrey,
                                     file, sensor::Direction::Receive);
    } catch (const std::exception& error) {
        // Nothing below is expected to throw; whatever did is the operator's to hear of.
        m_core.ShowFailure(QString::fromLocal8Bit(error.what()));
        result = false;
    }
    return finish(result);
}

bool frmWait::fncImgLoad()
{
    bool result = false;
    try {
        ProgressBar1->setVisible(true);
        begin();
        const QString folder = m_core.paths().tmpDir();
        QDir().mkpath(folder);
        const QString file = folder + QLatin1Char('/') + kTmpUpload;
        if (!QFile::exists(file))
            m_core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
        else
            result = exchangeAndTransfer(sensor::kImageLoad, file, sensor::Direction::Send);
    } catch (const std::exception& error) {
        // Nothing below is expected to throw; whatever did is the operator's to hear of.
        m_core.ShowFailure(QString::fromLocal8Bit(error.what()));
        result = false;
    }
    return finish(result);
}

} // namespace kel
