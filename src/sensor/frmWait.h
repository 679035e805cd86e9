#pragma once
// The progress window. Every transfer with the sensor runs inside one of its operations: the
// main window is disabled, the window shows where the operation is and offers the stop button,
// which is then the only control that takes input. The transfer itself runs on the line's own
// thread (LineOwner); this window hears its progress through its event loop. A window is made
// for one operation and closed at its end.

#include "image/ImageState.h"
#include "sensor/CommandTransfer.h"
#include "sensor/LineOwner.h"
#include "sensor/OperationOutcome.h"
#include "sensor/ProgressText.h"
#include "sensor/SetTransfers.h"
#include "serial/TransferView.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kel {

class AppCore;
class CommonDialog;
struct BackupKind;
class PartialPicture;
namespace sensor {
class FetchPreview;
class SetProgress;
} // namespace sensor

class frmWait : public QDialog, public serial::TransferView {
    Q_OBJECT
public:
    // mainWindow is disabled while an operation runs; dialog asks for backup files.
    frmWait(AppCore& core, sensor::LineOwner& line, QWidget* mainWindow, CommonDialog& dialog);
    ~frmWait() override;

    void Form_Load();
    void btnStop_Click();

    // The next image fetch shows its picture while it arrives and tells its total: header
    // holds the size, arrangement and gains the fetch has read from the sensor.
    void showPreviewOf(const SensorImage& header);

    // Each returns true only when the sensor answered "OK" and the transfer succeeded.
    bool fncImgConvert(bool colour); // "IMGSAVE 0" (colour) or "IMGSAVE 1" into TMP/tmp.bin
    bool fncImgLoad();               // "IMGLOAD" of TMP/tmp_2.bin
    bool fncBankSave(qint16 bank);   // "BANKSAVE n" into a chosen file
    bool fucBankLoad();              // "BANKLOAD" of a chosen file
    bool fncSystemSave();            // "SYSSAVE" into a chosen file
    bool fncSystemLoad();            // "SYSLOAD" of a chosen file

    // Runs step for each of count files of a convert-all run, with the counter shown and the
    // stop button looked at between two files; message 1 at the end. True when every step
    // succeeded or the run was stopped; a step that fails (it told why) ends the run.
    bool fncKelAutoConvert(qsizetype count, const std::function<bool(qsizetype index)>& step);

    // The whole sensor at once, in this one window: the block under way named ("Backing up
    // bank 3 of 8"), the bytes and the time left for all the blocks together, and the stop
    // button stopping the set. The outcome's file is the set's folder, its bytes the set's.
    // Receives the nine blocks into writer; true when all nine arrived.
    bool backupWholeSensor(sensor::BackupSetWriter& writer);
    // Sends the nine blocks of the set in folder, then reads each back and tells report how it
    // compares. True when every block was sent and read back, whether the same or not.
    bool restoreWholeSensor(const QString& folder, const sensor::ComparisonReport& report);

    // How the last operation ended, for the main window's status line.
    const OperationOutcome& outcome() const { return m_outcome; }

    QLabel* lblWait = nullptr;
    QLabel* lblRead = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnStop = nullptr;
    QLabel* lblProgress = nullptr; // bytes done (of the total), rate, time left
    QLabel* picPreview = nullptr;  // the fetched picture as far as it has arrived
    QLabel* lblBlock = nullptr;    // the block of a whole-sensor set under way

    // TransferView
    void setReadText(const QString& text) override;
    void setProgress(qint64 value, qint64 maximum) override;
    void setFigures(const serial::TransferFigures& figures) override;

protected:
    // Closing the window is a request to stop, like the button; the operation closes it.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // Steps common to every operation.
    void begin();
    void setMainWindowEnabled(bool enabled);
    void setStatus(int labelNumber);
    bool exchangeAndTransfer(const QString& command, const QString& path,
                             sensor::Direction direction);
    bool finish(bool result);
    void showOnBar(qint64 value, qint64 maximum);
    // A whole-sensor set of transfers moving totalBytes (-1: not known) in this one window.
    void beginSet(int transfers, qint64 totalBytes);
    // One block's transfer of the set, named by the label action (LabelSetBackingUp...).
    sensor::BlockTransfer setTransfer(sensor::Direction direction, int action);
    bool finishSet(bool result, const QString& folder, qint64 bytes);
    void showPicture(const PartialPicture& picture);
    void showShareOnBar(qint64 done, qint64 total);

    bool backup(const BackupKind& kind, const QString& command);
    bool restore(const BackupKind& kind, const QString& command);

    AppCore& m_core;
    sensor::LineOwner& m_line;
    QWidget* m_mainWindow;
    CommonDialog& m_dialog;
    bool m_running = false;
    OperationOutcome m_outcome;
    quint32 m_startMs = 0;
    bool m_stopped = false;
    bool m_receiving = false;
    ProgressTexts m_progressTexts;
    std::optional<SensorImage> m_previewHeader;
    std::shared_ptr<sensor::FetchPreview> m_preview; // shared with the receive that feeds it
    std::unique_ptr<sensor::SetProgress> m_set;      // while a whole-sensor set runs
    ProgressTexts m_setTexts;
};

} // namespace kel
