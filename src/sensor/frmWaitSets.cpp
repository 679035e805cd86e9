// The whole sensor at once: the nine blocks of a set backed up, or restored and read back, in
// one progress window whose stop button stops the set.

#include "core/AppCore.h"
#include "sensor/SetProgress.h"
#include "sensor/frmWait.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <exception>

namespace kel {

namespace {

qint64 setBytes(const QString& folder)
{
    qint64 bytes = 0;
    for (const sensor::SetBlock& block : sensor::setBlocks())
        bytes += QFileInfo(QDir(folder).filePath(block.fileName)).size();
    return bytes;
}

} // namespace

void frmWait::beginSet(int transfers, qint64 totalBytes)
{
    m_set = std::make_unique<sensor::SetProgress>(transfers, totalBytes);
    m_setTexts = loadProgressTexts(m_core, ProgressSetFirst);
    lblBlock->setVisible(true);
    ProgressBar1->setVisible(true);
    showOnBar(0, transfers);
    begin();
}

sensor::BlockTransfer frmWait::setTransfer(sensor::Direction direction, int action)
{
    return [this, direction, action](const sensor::SetBlock& block, const QString& path) {
        const QString name =
            block.bank > 0 ? m_core.GetMessageText(kSectionLabel, LabelSetBank).arg(block.bank)
                           : m_core.GetMessageText(kSectionLabel, LabelSetSystem);
        lblBlock->setText(m_core.GetMessageText(kSectionLabel, action).arg(name));
        const bool receive = direction == sensor::Direction::Receive;
        if (!exchangeAndTransfer(receive ? block.saveCommand : block.loadCommand, path, direction))
            return m_stopped ? sensor::BlockEnd::Stopped : sensor::BlockEnd::Failed;
        m_set->transferDone(QFileInfo(path).size());
        return sensor::BlockEnd::Done;
    };
}

bool frmWait::finishSet(bool result, const QString& folder, qint64 bytes)
{
    m_outcome.file = folder;
    finish(result);
    m_outcome.bytes = result ? bytes : 0;
    m_set.reset();
    lblBlock->setVisible(false);
    return result;
}

bool frmWait::backupWholeSensor(sensor::BackupSetWriter& writer)
{
    bool result = false;
    try {
        beginSet(sensor::kSetBlockCount, -1);
        QString fileError;
        result =
            sensor::receiveSet(writer, setTransfer(sensor::Direction::Receive, LabelSetBackingUp),
                               &fileError) == sensor::BlockEnd::Done;
        if (!fileError.isEmpty())
            m_core.ShowFailure(fileError);
    } catch (const std::exception& error) {
        // Nothing below is expected to throw; whatever did is the operator's to hear of.
        m_core.ShowFailure(QString::fromLocal8Bit(error.what()));
        result = false;
    }
    return finishSet(result, writer.folder(), m_set ? m_set->bytesDone() : 0);
}

bool frmWait::restoreWholeSensor(const QString& folder, const sensor::ComparisonReport& report)
{
    bool result = false;
    const qint64 bytes = setBytes(folder);
    try {
        // Every block is sent, then read back: twice the set's bytes.
        beginSet(2 * sensor::kSetBlockCount, 2 * bytes);
        std::optional<sensor::SetBlock> failed;
        const sensor::BlockEnd sent = sensor::sendSet(
            folder, setTransfer(sensor::Direction::Send, LabelSetRestoring), &failed);
        if (sent == sensor::BlockEnd::Failed)
            report(*failed, sensor::BlockComparison::Failed);
        if (sent == sensor::BlockEnd::Done) {
            bool everyRead = true;
            QString error;
            const bool compared = sensor::compareSet(
                folder, setTransfer(sensor::Direction::Receive, LabelSetReadingBack),
                [&](const sensor::SetBlock& block, sensor::BlockComparison comparison) {
                    everyRead = everyRead && comparison != sensor::BlockComparison::Failed;
                    report(block, comparison);
                },
                &error);
            if (!compared)
                m_core.ShowFailure(error);
            result = compared && everyRead;
        }
    } catch (const std::exception& error) {
        m_core.ShowFailure(QString::fromLocal8Bit(error.what()));
        result = false;
    }
    return finishSet(result, folder, bytes);
}

} // namespace kel
