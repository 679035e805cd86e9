// The image transfers: fetch the sensor's image into tmp.bin, load tmp_2.bin into the sensor.

#include "core/AppCore.h"
#include "core/WorkFolders.h"
#include "sensor/frmWait.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>

namespace kel {

bool frmWait::fncImgConvert(bool colour)
{
    bool result = false;
    try {
        begin();
        const QString folder = m_core.paths().tmpDir();
        QDir().mkpath(folder);
        const QString file = folder + QLatin1Char('/') + kTmpBin;
        if (QFile::exists(file))
            QFile::remove(file); // a fetch starts from an empty slot, even when it then fails
        result =
            exchangeAndTransfer(colour ? QStringLiteral("IMGSAVE 0") : QStringLiteral("IMGSAVE 1"),
                                file, Direction::Receive);
    } catch (...) {
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
            result = exchangeAndTransfer(QStringLiteral("IMGLOAD"), file, Direction::Send);
    } catch (...) {
        result = false;
    }
    return finish(result);
}

} // namespace kel
