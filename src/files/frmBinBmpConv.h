#pragma once
// The batch dialog: lists the sensor image files chosen for conversion and converts them one
// by one with a save dialog each, or all into one folder behind the progress window.

#include "files/BatchListLayout.h"
#include "image/ImageState.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace kel {

class AppCore;
class CommonDialog;
struct BatchChoice;

namespace sensor {
class LineOwner;
}

// What the batch runs work with, all owned by the main window. The image a run converts is its
// own (BatchRun), never the window's.
struct BatchContext {
    AppCore& core;
    CommonDialog& dialog;
    BatchChoice& choice;
    sensor::LineOwner& line; // holds the stop request of the progress window
    QWidget* mainWindow;     // disabled while the convert-all run goes on
    ImageKind kind;          // the picture the conversions make
    // The title of the run's own boxes: the main window's caption as its labels give it, without
    // the file name the window adds to its title.
    QString boxTitle = {};
};

class frmBinBmpConv : public QDialog {
    Q_OBJECT
public:
    explicit frmBinBmpConv(const BatchContext& context);

    void Form_Load();
    void Form_Resize();
    void TateScr_Change();
    void YokoScr_Change();
    void cmdOK_Click();
    void cmdAuto_Click();
    void cmdCancel_Click();

    // The last layout, in twips.
    const BatchDialogLayout& layout() const { return m_layout; }
    // Resizes the dialog to an outer size in twips.
    void resizeInTwips(int width, int height);
    // The bitmaps written by the runs of this dialog, a file counted once.
    qsizetype convertedCount() const { return m_converted; }

    QGroupBox* ConvFrame = nullptr;
    QLabel* FileBox = nullptr;
    QScrollBar* TateScr = nullptr;
    QScrollBar* YokoScr = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAuto = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Escape and the window's close box cancel.
    void reject() override;

private:
    bool fncEachConvert();
    bool fncAllConvert();
    void applyBars(const BatchDialogLayout& layout);

    BatchContext m_context;
    BatchDialogLayout m_layout;
    bool m_loaded = false;
    qsizetype m_converted = 0;
};

} // namespace kel
