// Main window handlers of the File menu: save the current image as a sensor image file or a
// bitmap, open either kind again, and choose files for batch conversion. The image and its
// working files are the window's ImageDocument; these handlers ask for files, run its steps and
// show the outcome.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/StatusWords.h"
#include "core/WorkFolders.h"
#include "files/frmBinBmpConv.h"
#include "files/frmDirSearch.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kel {

namespace {

constexpr int kSaveFlags = cdlOFNOverwritePrompt | cdlOFNPathMustExist;
constexpr int kBatchOpenFlags = cdlOFNExplorer | cdlOFNAllowMultiselect;

// Sets up the shared dialog the same way for every command of the menu.
void prepareDialog(AppCore& core, CommonDialog& dialog, const QString& filter, int flags)
{
    dialog.CancelError = true;
    dialog.Filter = filter;
    dialog.FilterIndex = 2;
    dialog.Flags = flags;
    dialog.InitDir = core.paths().imageDir();
}

} // namespace

void frmMain::connectFileMenu()
{
    connect(mnuBinSave, &QAction::triggered, this, &frmMain::mnuBinSave_Click);
    connect(mnuBinLoad, &QAction::triggered, this, &frmMain::mnuBinLoad_Click);
    connect(mnuBmpSave, &QAction::triggered, this, &frmMain::mnuBmpSave_Click);
    connect(mnuBmpLoad, &QAction::triggered, this, &frmMain::mnuBmpLoad_Click);
    connect(mnuEachConv, &QAction::triggered, this, &frmMain::mnuEachConv_Click);
    connect(mnuAllConv, &QAction::triggered, this, &frmMain::mnuAllConv_Click);
    // The status bar and the title follow the image's origin, whichever command changed it.
    connect(&m_picture, &ImageDocument::changed, this, [this] {
        if (m_status)
            m_status->showPicture(m_picture.origin(), m_picture.originFile());
    });
}

namespace {

// The header of the image opened; a grey picture has no arrangement or gains, only its size.
void showHeader(const SensorImage& image, ImageKind kind, const std::array<QLabel*, 8>& values)
{
    const int fields[] = {image.BayerPhase, image.GainR, image.GainG,
                          image.GainB,      image.Width, image.Height};
    constexpr int kSizeFields = 4;
    for (int index = 0; index < 6; ++index)
        values[index]->setText(kind == ImageKind::Colour || index >= kSizeFields
                                   ? QString::number(fields[index])
                                   : QString());
}

} // namespace

void frmMain::mnuBinSave_Click()
{
    if (!m_picture.hasWorkFile(m_core, kTmpBin))
        return;
    prepareDialog(m_core, cdlFileOpen,
                  m_core.GetMessageText(kSectionLabel, LabelAllFiles) + QStringLiteral("|*.*|") +
                      m_core.GetMessageText(kSectionLabel, LabelKelFiles) +
                      QStringLiteral("| *.KEL"),
                  kSaveFlags);
    if (cdlFileOpen.ShowSave() != 0)
        return;
    const QString chosen = cdlFileOpen.FileName;
    if (!m_picture.saveKel(m_core, chosen)) {
        showFailed(StatusNameSave, {shownPath(m_core.paths(), chosen)});
        return;
    }
    showSaved(chosen);
}

void frmMain::showSaved(const QString& file)
{
    m_status->showResult(statusText(m_core, StatusSaved, {shownPath(m_core.paths(), file)}));
}

void frmMain::showOpened(const QString& file)
{
    m_status->showResult(statusText(m_core, StatusOpened, {shownPath(m_core.paths(), file)}));
}

bool frmMain::mayReplaceUnsaved()
{
    return !m_picture.blnNotSaved || m_core.Agrees(QuestionDiscardForOpen);
}

void frmMain::showOpenedImage(const QString& file, const QString& bitmap, ImageKind kind)
{
    const bool colour = kind == ImageKind::Colour;
    showHeader(m_picture.state.CurrentImage, kind, lblValue);
    mnuBmpSave->setEnabled(true);
    mnuBinSave->setEnabled(colour);
    enableLoad(colour);
    if (ShowPicture(bitmap)) {
        showOpened(file);
        rememberRecent(file);
    } else {
        m_core.ShowFailure(
            QStringLiteral("%1: invalid picture").arg(QDir::toNativeSeparators(bitmap)));
        showFailed(StatusNameOpen, {shownPath(m_core.paths(), file)});
    }
    repaint();
}

void frmMain::mnuBinLoad_Click()
{
    prepareDialog(m_core, cdlFileOpen,
                  m_core.GetMessageText(kSectionLabel, LabelKelFiles) + QStringLiteral("|*.KEL"),
                  kSaveFlags);
    if (cdlFileOpen.ShowOpen() != 0 || !mayReplaceUnsaved())
        return;
    openKelFile(cdlFileOpen.FileName);
}

void frmMain::openKelFile(const QString& chosen)
{
    const KelConversion opened = m_picture.openKel(m_core, chosen, ImageKind::Colour);
    if (!opened) {
        showFailed(StatusNameOpen, {shownPath(m_core.paths(), chosen)});
        return;
    }
    optSelect[0]->setChecked(true);
    showOpenedImage(chosen, opened.bitmap, ImageKind::Colour);
}

void frmMain::mnuBmpSave_Click()
{
    if (!m_picture.hasWorkFile(m_core, kTmpBmp))
        return;
    prepareDialog(m_core, cdlFileOpen,
                  m_core.GetMessageText(kSectionLabel, LabelAllFiles) +
                      QStringLiteral("|*.*|*.bmp|*.bmp"),
                  kSaveFlags);
    if (cdlFileOpen.ShowSave() != 0)
        return;
    const QString chosen = cdlFileOpen.FileName;
    if (!m_picture.saveBitmap(m_core, chosen)) {
        showFailed(StatusNameSave, {shownPath(m_core.paths(), chosen)});
        return;
    }
    showSaved(chosen);
}

void frmMain::mnuBmpLoad_Click()
{
    prepareDialog(m_core, cdlFileOpen, QStringLiteral("*.bmp|*.bmp"), kSaveFlags);
    if (cdlFileOpen.ShowOpen() != 0 || !mayReplaceUnsaved())
        return;
    openBitmapFile(cdlFileOpen.FileName);
}

void frmMain::openBitmapFile(const QString& chosen)
{
    const std::optional<ImageKind> opened = m_picture.openBitmap(m_core, chosen);
    if (!opened) {
        showFailed(StatusNameOpen, {shownPath(m_core.paths(), chosen)});
        return;
    }
    showOpenedImage(chosen, m_picture.workFile(kTmpBmp), *opened);
}

void frmMain::mnuEachConv_Click()
{
    prepareDialog(m_core, cdlFileOpen,
                  m_core.GetMessageText(kSectionLabel, LabelKelFiles) + QStringLiteral("|*.KEL"),
                  kBatchOpenFlags);
    if (cdlFileOpen.ShowOpen() != 0)
        return;
    takeChosenFiles(batchChoice, cdlFileOpen.FileName, cdlFileOpen.FileTitle);
    runBatchDialog();
}

void frmMain::runBatchDialog()
{
    frmBinBmpConv dialog({m_core, cdlFileOpen, batchChoice, line(), this,
                          optSelect[0]->isChecked() ? ImageKind::Colour : ImageKind::Grey,
                          m_status->baseTitle()});
    dialog.Form_Load();
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // Only files whose bitmap was written count; a cancel with nothing written changes nothing.
    const qsizetype chosen = batchChoice.strConvFilePath.size();
    const qsizetype converted = dialog.convertedCount();
    if (converted == chosen)
        m_status->showResult(statusText(m_core, StatusBatchConverted, {QString::number(chosen)}));
    else if (accepted || converted > 0)
        m_status->showResult(
            statusText(m_core, StatusBatchPartlyConverted,
                       {QString::number(converted), QString::number(chosen - converted)}));
}

void frmMain::mnuAllConv_Click()
{
    {
        frmDirSearch picker(m_core, batchChoice, this);
        picker.Form_Load();
        picker.exec();
    }
    if (!batchChoice.blnDirSelected) {
        cdlFileOpen.FileName.clear();
        return;
    }
    batchChoice.blnDirSelected = false;
    runBatchDialog();
}

} // namespace kel
