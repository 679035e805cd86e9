#pragma once
// The main window: menus, the image and measurement panels and the picture of the last
// converted image. This file holds its start-up and shutdown; the panels' handlers come with
// the operations they run.

#include "app/MainStatus.h"
#include "core/CommonDialog.h"
#include "core/RecentFiles.h"
#include "files/BatchChoice.h"
#include "image/ImageDocument.h"
#include "image/PictureView.h"
#include "sensor/CoreLine.h"
#include "sensor/ImageInfoQuery.h"
#include "sensor/LineOwner.h"
#include "sensor/MeasurementTrend.h"
#include "sensor/OperationStatus.h"
#include "sensor/ResultReading.h"
#include "ui/QtTranslations.h"

#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QUrl;

namespace kel {

class AppCore;
class HistogramPanel;
class PictureCanvas;
class TrendStrip;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(AppCore& core, QWidget* parent = nullptr);

    // Start-up: working folders, settings, labels, temporary files.
    void Form_Load();
    void CreateWorkFolders();
    void LoadSettings();
    void DeleteTempFiles();

    // Saves the language, stops a transfer that runs (cancelling it on the line), then ends a
    // continuous measurement, deletes the temporary files and ends the process; no box is
    // shown from its start. It waits for the request that runs, which its own time-out bounds
    // (a reply wait ends within 5 s, a transfer at its next wait), and for the last one; nothing
    // is dropped behind a stuck request. Runs once; later calls do nothing.
    void ShutDown();
    void mnuQuit_Click() { ShutDown(); }

    // Ends the process once the shutdown steps are done; tests replace it.
    std::function<void()> endProcess;

    // ---- File menu: keep and reopen images without the sensor, convert files in batches.
    void mnuBinSave_Click();
    void mnuBinLoad_Click();
    void mnuBmpSave_Click();
    void mnuBmpLoad_Click();
    void mnuEachConv_Click();
    void mnuAllConv_Click();
    BatchChoice batchChoice; // the files and the output folder of the last batch choice

    // ---- Looking into the picture (frmMainPicture.cpp): zoom, the readout, the figures of the
    // picture or of a rectangle, the profile along a line, a reference to compare with.
    void mnuSetReference_Click();
    void mnuShowDifference_Click(bool shown);
    void mnuCopyPicture_Click();
    void mnuPngSave_Click();
    // Opens a .KEL or a bitmap as File > Open does (the unsaved-image question included); a
    // dropped file and a recent file come here. False when it was not opened.
    bool openImageFile(const QString& file);
    const QStringList& recentFiles() const { return m_recent.files(); }

    // ---- Option and Help menus.
    void mnuConvert_Click();
    void mnuComSet_Click();
    void mnuContents_Click();
    void mnuVersion_Click();
    // Opens a document with the program the desktop associates with it, running failed when
    // none showed it; tests replace it.
    std::function<void(const QUrl&, const std::function<void()>& failed)> openWithShell;

    // ---- Image panel: fetch the sensor's image, load the current image into the sensor.
    void cmdConvert_Click();
    bool fncImgAcquire();
    // The header of CurrentImage from the sensor's answers and the rows its size code gives.
    void SetImgInfo(const ImageInfoValues& values, int rows);
    void cmdLoad_Click();
    // Enables or disables the upload button; disabled, its tip says what it needs.
    void enableLoad(bool enabled);

    // Shows the bitmap at path at its own size from the top-left corner; false when it cannot
    // be loaded. ClearPicture shows the start picture ("no image") and leaves the image without
    // an origin.
    bool ShowPicture(const QString& path);
    void ClearPicture();
    // Empties the image information fields (the first kImageInfoFields values), which then
    // describe no image shown; the measurement's two stay.
    void ClearImageValues();
    static constexpr int kImageInfoFields = 6;

    // ---- Measurement panel.
    void cmdMeasure_Click();
    void cmdGetMesure_Click();
    // Shutdown step: the request that ends a continuous measurement that still runs, or none.
    sensor::LineOwner::Job StopContinuousOnExit();
    bool blnContinuous = false;

    // ---- Trend of a continuous measurement: the result is read every interval, shown and
    // kept (the last MeasurementTrend::kCapacity values), until the measurement ends, a reading
    // fails or the program shuts down.
    void StartTrend();
    void StopTrend();
    // One timed reading, queued on the line; a tick while the line has anything to do, or
    // while a box asks the operator, is skipped.
    void tmrTrend_Timer();
    void cmdTrendSave_Click();
    bool trendRunning() const;
    sensor::MeasurementTrend trend;

    // ---- System and Bank menus.
    void mnuBankSelect_Click(int index);
    void mnuBankLoad_Click();
    void mnuSystemSave_Click();
    void mnuSystemLoad_Click();

    // ---- The whole sensor at once (System menu): banks 1 to 8 and the system data into one
    // folder with its manifest, and from such a folder back into the sensor, each block then
    // read back and compared with its file.
    void mnuWholeSave_Click();
    void mnuWholeLoad_Click();

    // ---- Controls.
    QLabel* Picture1 = nullptr;
    QLabel* lblTitle = nullptr;
    QGroupBox* fraImage = nullptr;
    QPushButton* cmdConvert = nullptr;
    QPushButton* cmdLoad = nullptr;
    std::array<QRadioButton*, 2> optSelect{};
    std::array<QLabel*, 8> lblItem{};
    std::array<QLabel*, 8> lblValue{};
    QGroupBox* FraMesure = nullptr;
    QPushButton* cmdMeasure = nullptr;
    std::array<QRadioButton*, 3> optMesure{};
    QGroupBox* fraGetMesure = nullptr;
    QPushButton* cmdGetMesure = nullptr;
    PictureCanvas* picCnvBmp = nullptr; // zooms, pans and tells the pixel under the pointer
    HistogramPanel* picHistogram = nullptr;
    QGroupBox* fraTrend = nullptr;
    TrendStrip* picTrend = nullptr;
    QLabel* lblTrendInterval = nullptr;
    QDoubleSpinBox* spnTrendInterval = nullptr; // seconds
    QPushButton* cmdTrendSave = nullptr;
    QLabel* lblTrendState = nullptr;
    QTimer* tmrTrend = nullptr;
    // The one open/save dialog, shared by every command that asks for a file.
    CommonDialog cdlFileOpen;

    // ---- Menus.
    QMenu* mnuFile = nullptr;
    QAction* mnuBinSave = nullptr;
    QAction* mnuBinLoad = nullptr;
    QAction* mnuBmpSave = nullptr;
    QAction* mnuBmpLoad = nullptr;
    QMenu* mnuBinBmpConv = nullptr;
    QAction* mnuEachConv = nullptr;
    QAction* mnuAllConv = nullptr;
    QAction* mnuQuit = nullptr;
    QMenu* mnuSystem = nullptr;
    QAction* mnuSystemSave = nullptr;
    QAction* mnuSystemLoad = nullptr;
    QAction* mnuWholeSave = nullptr;
    QAction* mnuWholeLoad = nullptr;
    QMenu* mnuBank = nullptr;
    QMenu* mnuBankSave = nullptr;
    std::array<QAction*, 9> mnuBankSelect{}; // members 1 to 8
    QAction* mnuBankLoad = nullptr;
    QMenu* mnuOption = nullptr;
    QAction* mnuConvert = nullptr;
    QAction* mnuComSet = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuVersion = nullptr;
    QAction* mnuPngSave = nullptr;
    QMenu* mnuRecent = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuZoomIn = nullptr;
    QAction* mnuZoomOut = nullptr;
    QAction* mnuZoomActual = nullptr;
    QAction* mnuZoomFit = nullptr;
    QAction* mnuHistogram = nullptr; // shows or hides the panel
    QAction* mnuSetReference = nullptr;
    QAction* mnuShowDifference = nullptr;
    QAction* mnuCopyPicture = nullptr;
    QAction* fetchShortcut = nullptr; // F5: presses cmdConvert

    // The status bar: last result, the picture's source, the line in use.
    MainStatus& status() { return *m_status; }
    // "Image fetch failed" and the like: the operation named by its status text.
    void showFailed(int nameNumber, const QStringList& arguments = {});

    AppCore& core() { return m_core; }
    // The program's line, configured with the settings in memory as they are now.
    sensor::LineOwner& line();
    // The image shown, its origin, its unsaved flag (blnNotSaved) and its working files in TMP.
    ImageDocument& picture() { return m_picture; }
    ImageState& image() { return m_picture.state; }

protected:
    // Every way of closing the window runs the shutdown.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildViewMenu();
    void connectPicture();
    // The converted picture now shown; figures, the readout and the comparison follow it.
    void showPictureImage(const QImage& image);
    void refreshFigures();
    void refreshComparison();
    void showReadout(QPoint pixel);
    void fillRecentMenu();
    void rememberRecent(const QString& file);
    void openKelFile(const QString& file);
    void openBitmapFile(const QString& file);
    void keepSizeFromNowOn();
    void connectDialogMenus();
    void connectFileMenu();
    void connectSensorControls();
    // Shows message 1 when an operation succeeded; a failure was reported where it happened.
    void reportCompletion(bool succeeded);
    QWidget* buildLeftColumn();
    QGroupBox* buildTrendFrame(QWidget* parent);
    void applyTrendTexts();
    void showTrendCounts();
    // True while the line has a request queued or running, or a box or an operation has the
    // operator's attention: a timed reading then waits for its next tick.
    bool lineBusy() const;
    // The reading of one tick has come back from the line.
    void showTrendReading(const sensor::ResultReading& reading);
    // One command to the sensor, waited for; the reply as SendCommand gives it.
    QString sendCommand(const QString& command);
    // The image information queries, on the line.
    ImageInfoAsk askImageInfo();

    void assignShortcuts();
    // The status line after a transfer of the progress window.
    void showTransferResult(TransferOperation operation, const OperationOutcome& outcome,
                            int bank = 0);
    // True when there is no unsaved fetched image, or the operator agreed to discard it.
    bool mayReplaceUnsaved();
    // The image just opened from file, whose bitmap is shown, with the commands its kind allows.
    void showOpenedImage(const QString& file, const QString& bitmap, ImageKind kind);
    void showSaved(const QString& file);
    void showOpened(const QString& file);
    void runBatchDialog();
    // The folder of a whole-sensor set, chosen by the operator; "" when the dialog was cancelled.
    QString chooseSetFolder();
    // The status line after a measurement command; accepted when the sensor answered "OK".
    void showMeasureResult(const QString& command, bool accepted);

    AppCore& m_core;
    QPixmap m_startPicture;
    QtTranslations m_qtTexts{m_core.paths()}; // Qt's buttons and dialogs follow the language
    WindowLineNotices m_notices;
    sensor::LineOwner m_line; // the port, opened for each exchange, on the line's own thread
    ImageDocument m_picture{m_core.paths().tmpDir()};
    std::unique_ptr<MainStatus> m_status;
    QImage m_analysed;                  // the shown picture as the figures read it; null for none
    std::optional<Picture> m_reference; // the picture set as reference
    QString m_referenceName;
    RecentFiles m_recent{m_core.paths().appDir + QLatin1Char('/') +
                         QLatin1String(RecentFiles::kFileName)};
    OperationOutcome m_fetchOutcome; // how the last fetch's transfer ended
    bool m_shuttingDown = false;
    CommonDialog m_trendDialog; // its own, so the File menu's dialog keeps its last file
    CommonDialog m_setDialog;   // the same, and it proposes the last set's folder
};

} // namespace kel
