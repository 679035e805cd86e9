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
}

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

    // How the last operation ended, for the main window's status line.
    const OperationOutcome& outcome() const { return m_outcome; }

    QLabel* lblWait = nullptr;
    QLabel* lblRead = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnStop = nullptr;
    QLabel* lblProgress = nullptr; // bytes done (of the total), rate, time left
    QLabel* picPreview = nullptr;  // the fetched picture as far as it has arrived

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
    std::unique_ptr<sensor::FetchPreview> m_preview;
};

} // namespace kel
