// Batch conversion: choosing the files, the batch dialog's list, the one-by-one run with a save
// dialog each and the convert-all run behind the progress window, with its stop.

#include "FilesTestSupport.h"
#include "files/BatchChoice.h"
#include "files/BatchConvert.h"
#include "files/FolderLists.h"
#include "files/frmBinBmpConv.h"
#include "files/frmDirSave.h"
#include "files/frmDirSearch.h"
#include "sensor/frmWait.h"
#include "support/WindowInput.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

using namespace kel;
using namespace kel::test;

namespace {

constexpr int kWidth = 32;
constexpr int kHeight = 24;
const qsizetype kBitmapSize = 54 + 3 * kWidth * kHeight;

// Opens folder in a picker's folder list as a click on it would.
void openFolder(DirPickerForm* picker, const QString& folder)
{
    ASSERT_TRUE(picker->Dir1->setPath(folder, nullptr)) << folder.toStdString();
    picker->Dir1_Click(picker->Dir1->currentRow());
}

class BatchTest : public MainWindowFixture {
protected:
    QString source(const QString& name) const { return dir.file(QStringLiteral("src/") + name); }
    QString output(const QString& name) const { return dir.file(QStringLiteral("out/") + name); }

    // Sensor image files in the source folder, chosen as the batch.
    void choose(const QStringList& names)
    {
        QDir().mkpath(dir.file(QStringLiteral("out")));
        window.batchChoice = {};
        unsigned seed = 1;
        for (const QString& name : names) {
            writeAll(source(name), kelFile(kWidth, kHeight, seed++));
            window.batchChoice.strConvFileName << name;
            window.batchChoice.strConvFilePath << source(name);
        }
    }
    BatchContext context()
    {
        return {core,    window.cdlFileOpen, window.batchChoice, window.line(),
                &window, ImageKind::Colour};
    }
    // The colour bitmap of a sensor image file, converted apart from the window and the batch.
    QByteArray bitmapOf(const QString& kel)
    {
        const QString folder = dir.file(QStringLiteral("expected"));
        QDir().mkpath(folder);
        ImageDocument expected(folder);
        return readAll(expected.openKel(core, kel, ImageKind::Colour).bitmap);
    }
    static bool isBitmap(const QByteArray& bytes)
    {
        return bytes.size() == kBitmapSize && bytes.startsWith("BM");
    }
    // The convert-all run through the menu: source folder, then output folder.
    void convertAll(const QString& from, const QString& to)
    {
        whenModal<frmDirSearch>([from](frmDirSearch* picker) {
            openFolder(picker, from);
            picker->cmdOpen->click();
        });
        whenModal<frmBinBmpConv>([this, to](frmBinBmpConv* batch) {
            m_batchDialog = batch;
            whenModal<frmDirSave>([to](frmDirSave* picker) {
                openFolder(picker, to);
                picker->cmdSave->click();
            });
            batch->cmdAuto->click();
        });
        window.mnuAllConv->trigger();
    }
    frmWait* progressWindow() const { return window.findChild<frmWait*>(); }

    QPointer<frmBinBmpConv> m_batchDialog;
};

TEST_F(BatchTest, choosingOneOrSeveralFilesFillsTheListsAndOpensTheDialog)
{
    choose({"A.KEL", "B.KEL"});
    const QChar nul(0);
    for (const QStringList& picked :
         {QStringList{source("A.KEL")}, QStringList{source("A.KEL"), source("B.KEL")}}) {
        prompter.dialogAnswers.push_back(chose(picked));
        QString listed;
        whenModal<frmBinBmpConv>([&listed](frmBinBmpConv* batch) {
            listed = batch->FileBox->text();
            batch->cmdCancel->click();
        });
        window.mnuEachConv->trigger();
        EXPECT_EQ(window.batchChoice.strConvFilePath, picked);
        EXPECT_EQ(listed, picked.size() == 1 ? "A.KEL\n" : "A.KEL\nB.KEL\n");
        EXPECT_TRUE(window.cdlFileOpen.FileName.isEmpty()); // cleared by the cancel
    }
    const FileDialogRequest& request = prompter.dialogs.at(1);
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Open);
    EXPECT_TRUE(request.multiSelect);
    EXPECT_FALSE(request.confirmOverwrite);
    EXPECT_EQ(request.directory, dir.paths().imageDir());
    EXPECT_EQ(window.cdlFileOpen.Flags, 0x80200);
    EXPECT_EQ(window.batchChoice.strConvFileName, (QStringList{"A.KEL", "B.KEL"}));
}

TEST_F(BatchTest, cancelledChoicesChangeNothingButTheProposedName)
{
    choose({"A.KEL"});
    window.cdlFileOpen.FileName = QStringLiteral("kept");
    window.mnuEachConv_Click(); // the open dialog is cancelled
    EXPECT_EQ(window.cdlFileOpen.FileName, QStringLiteral("kept"));

    whenModal<frmDirSearch>([](frmDirSearch* picker) { picker->cmdCancel->click(); });
    window.mnuAllConv_Click();
    EXPECT_TRUE(window.cdlFileOpen.FileName.isEmpty());
    EXPECT_EQ(window.batchChoice.strConvFileName, QStringList{"A.KEL"});
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(BatchTest, scrollingCutsCharactersAndSkipsLines)
{
    window.batchChoice.strConvFileName = {QString(46, QLatin1Char('n')) + ".KEL",
                                          QStringLiteral("あいうえおかきくけこさしすせそたちつてと"
                                                         "なにぬねのはひふへほまみむ.KEL")};
    frmBinBmpConv batch(context());
    batch.Form_Load();
    EXPECT_EQ(batch.YokoScr->maximum(), 25); // 33 double-byte characters and ".KEL": 70 bytes
    batch.YokoScr->setValue(5);
    EXPECT_EQ(batch.FileBox->text().section('\n', 0, 0), QString(41, QLatin1Char('n')) + ".KEL");
    EXPECT_TRUE(batch.FileBox->text().section('\n', 1, 1).startsWith(QStringLiteral("かき")));
    batch.TateScr->setMaximum(1);
    batch.TateScr->setValue(1);
    EXPECT_TRUE(batch.FileBox->text().startsWith(QStringLiteral("かき")));
}

TEST_F(BatchTest, fifteenNamesScrollAndTheDialogSnapsBackToItsSmallestSize)
{
    QStringList names;
    for (int i = 0; i < 15; ++i)
        names << QStringLiteral("F%1.KEL").arg(i);
    window.batchChoice.strConvFileName = names;
    frmBinBmpConv batch(context());
    batch.Form_Load();
    batch.show();
    const QSize smallest = batch.size();
    EXPECT_EQ(batch.FileBox->text(), names.join('\n') + '\n');
    ASSERT_TRUE(batch.TateScr->isVisible());
    EXPECT_EQ(batch.TateScr->maximum(), 4);
    EXPECT_EQ(batch.TateScr->height(), batch.FileBox->height());
    EXPECT_FALSE(batch.YokoScr->isVisible());
    batch.TateScr->setValue(4);

    batch.resize(50, 50);
    EXPECT_EQ(batch.size(), smallest);
    EXPECT_EQ(batch.layout().width, 5415);
    EXPECT_EQ(batch.layout().height, 4470);

    // Tall enough for every line: the bar goes and with it the scrolled-out names come back.
    batch.resizeInTwips(5415, 5900);
    ASSERT_GT(batch.layout().height, 5800);
    EXPECT_EQ(batch.layout().FileBox.height, batch.layout().height - 2310);
    EXPECT_FALSE(batch.TateScr->isVisibleTo(&batch));
    EXPECT_TRUE(batch.FileBox->text().startsWith(QStringLiteral("F0.KEL\n")));
    EXPECT_GT(batch.cmdAuto->y(), batch.FileBox->geometry().bottom());
}

TEST_F(BatchTest, oneByOneProposesBitmapNamesAndSavesEach)
{
    choose({"A.KEL", "B.KEL"});
    writeAll(image("A.bmp"), "old");
    prompter.dialogAnswers = {chose({image("A.bmp")}), chose({image("B.bmp")})};
    frmBinBmpConv batch(context());
    batch.Form_Load();
    batch.show();
    batch.cmdOK->click();

    ASSERT_EQ(prompter.dialogs.size(), 2);
    for (int i : {0, 1}) {
        const FileDialogRequest& request = prompter.dialogs[i];
        EXPECT_EQ(request.fileName, i == 0 ? "A.bmp" : "B.bmp");
        EXPECT_EQ(request.mode, FileDialogRequest::Mode::Save);
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_EQ(request.filterIndex, 1);
        EXPECT_EQ(request.directory, dir.paths().imageDir());
    }
    EXPECT_TRUE(isBitmap(readAll(image("A.bmp"))));
    EXPECT_EQ(readAll(image("B.bmp")), bitmapOf(source("B.KEL")));
    EXPECT_NE(readAll(image("A.bmp")), readAll(image("B.bmp")));
    EXPECT_EQ(boxTexts(), QStringList{message(1)});
    EXPECT_FALSE(batch.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BatchTest, oneByOneCancelKeepsTheDialogAndWhatWasSaved)
{
    choose({"A.KEL", "B.KEL"});
    prompter.dialogAnswers = {chose({image("A.bmp")})};
    frmBinBmpConv batch(context());
    batch.Form_Load();
    batch.show();
    batch.cmdOK->click();
    EXPECT_TRUE(batch.isVisible());
    EXPECT_TRUE(exists(image("A.bmp")));
    EXPECT_FALSE(exists(image("B.bmp")));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    // Again from the first entry.
    prompter.dialogAnswers = {chose({image("A2.bmp")}), chose({image("B.bmp")})};
    batch.cmdOK->click();
    EXPECT_EQ(prompter.dialogs.at(2).fileName, "A.bmp");
    EXPECT_TRUE(exists(image("B.bmp")));
    EXPECT_FALSE(batch.isVisible());
}

TEST_F(BatchTest, oneByOneEndsAtAFileThatCannotBeReadAndCloses)
{
    choose({"A.KEL", "B.KEL", "C.KEL"});
    writeAll(source("B.KEL"), kelFile(kWidth, kHeight).left(12));
    prompter.dialogAnswers = {chose({image("A.bmp")})};
    frmBinBmpConv batch(context());
    batch.Form_Load();
    batch.show();
    batch.cmdOK->click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 16);
    EXPECT_EQ(prompter.dialogs.size(), 1);
    EXPECT_TRUE(exists(image("A.bmp")));
    EXPECT_FALSE(batch.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BatchTest, oneByOneNeverWritesOverItsSource)
{
    writeAll(image("a.kel"), kelFile(kWidth, kHeight));
    window.batchChoice = {{"a.kel"}, {image("a.kel")}, false, {}, {}};
    prompter.dialogAnswers = {chose({image("a.kel")})};
    frmBinBmpConv batch(context());
    batch.Form_Load();
    batch.cmdOK_Click();
    EXPECT_EQ(prompter.dialogs.at(0).fileName, "a.bmp");
    EXPECT_EQ(readAll(image("a.kel")), kelFile(kWidth, kHeight));
    EXPECT_TRUE(isBitmap(readAll(image("a.kel.bmp"))));
}

TEST_F(BatchTest, convertAllWritesEveryBitmapReplacingOldOnes)
{
    choose({"A.KEL", "B.KEL"});
    writeAll(output("A.bmp"), "old");
    bool progressShownAtCompletion = true;
    prompter.beforeAnswer = [&] {
        progressShownAtCompletion = progressWindow() && progressWindow()->isVisible();
    };
    window.cdlFileOpen.FileName = QStringLiteral("proposed");
    convertAll(dir.file("src"), dir.file("out"));

    EXPECT_TRUE(isBitmap(readAll(output("A.bmp"))));
    EXPECT_EQ(readAll(output("B.bmp")), bitmapOf(source("B.KEL")));
    EXPECT_EQ(boxTexts(), QStringList{message(1)});
    EXPECT_EQ(window.status().result->text(),
              QStringLiteral("一括変換: 2 個のファイルを変換しました"));
    EXPECT_FALSE(progressShownAtCompletion);
    EXPECT_TRUE(takesInput(window));
    EXPECT_TRUE(window.cdlFileOpen.FileName.isEmpty());
    EXPECT_TRUE(m_batchDialog.isNull());
    EXPECT_EQ(progressWindow(), nullptr);
}

TEST_F(BatchTest, stopDuringConvertAllFinishesTheCurrentFileAndEndsSilently)
{
    choose({"A.KEL", "B.KEL", "C.KEL"});
    QString counterAtStop;
    QTimer stopper;
    stopper.setInterval(0);
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        frmWait* wait = progressWindow();
        if (!wait || !wait->lblRead->text().contains(QStringLiteral("1 /")))
            return;
        counterAtStop = wait->lblRead->text();
        stopper.stop();
        wait->btnStop->click();
    });
    stopper.start();
    convertAll(dir.file("src"), dir.file("out"));

    EXPECT_EQ(counterAtStop, core.GetMessageText(kSectionLabel, 14) + "  1 /  3");
    EXPECT_TRUE(isBitmap(readAll(output("A.bmp"))));
    EXPECT_FALSE(exists(output("B.bmp")));
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_TRUE(takesInput(window));
    EXPECT_TRUE(window.line().stopRequested());
    EXPECT_TRUE(m_batchDialog.isNull());
}

TEST_F(BatchTest, convertAllIntoTheSourceFolderLeavesEverySourceAsItWas)
{
    choose({"B.KEL", "c.kel", "plain"});
    convertAll(dir.file("src"), dir.file("src"));
    EXPECT_EQ(readAll(source("c.kel")), kelFile(kWidth, kHeight, 2));
    EXPECT_TRUE(isBitmap(readAll(source("B.bmp"))));
    EXPECT_TRUE(isBitmap(readAll(source("c.bmp"))));
    EXPECT_FALSE(exists(source("plain.bmp"))); // "plain" is no sensor file: not listed
    EXPECT_EQ(boxTexts(), QStringList{message(1)});
}

TEST_F(BatchTest, convertAllEndsAtAFailureKeepingWhatWasWritten)
{
    choose({"A.KEL", "B.KEL", "C.KEL"});
    writeAll(source("B.KEL"), kelFile(kWidth, kHeight).left(12));
    window.cdlFileOpen.FileName = QStringLiteral("proposed");
    convertAll(dir.file("src"), dir.file("out"));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 16);
    EXPECT_TRUE(exists(output("A.bmp")));
    EXPECT_FALSE(exists(output("C.bmp")));
    EXPECT_EQ(window.status().result->text(),
              QStringLiteral("一括変換: 1 個のファイルを変換、2 個は変換されませんでした"));
    EXPECT_TRUE(window.cdlFileOpen.FileName.isEmpty());
    EXPECT_TRUE(takesInput(window));
    EXPECT_TRUE(m_batchDialog.isNull());
}

TEST_F(BatchTest, convertAllReportsAWorkingBitmapThatCannotBeReplaced)
{
    choose({"A.KEL"});
    QDir().mkpath(tmp("batch/tmp.bmp")); // a folder where the run's working bitmap belongs
    convertAll(dir.file("src"), dir.file("out"));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.startsWith(QDir::toNativeSeparators(tmp("batch/tmp.bmp"))))
        << prompter.boxes[0].text.toStdString();
    EXPECT_FALSE(exists(output("A.bmp")));
    EXPECT_TRUE(takesInput(window));
}

TEST_F(BatchTest, convertAllIntoAFolderThatCannotBeWrittenShowsTheFailure)
{
    choose({"A.KEL"});
    writeAll(dir.file("blocked"), "a file, not a folder");
    window.batchChoice.strSaveDir = dir.file("blocked/");
    const BatchChoice& choice = window.batchChoice;
    BatchRun run(core.paths());
    frmWait wait(core, window.line(), &window, window.cdlFileOpen);
    EXPECT_FALSE(wait.fncKelAutoConvert(1, [&](qsizetype) {
        const QString bitmap = fncConvertBatchFile(core, run.picture(), ImageKind::Colour,
                                                   choice.strConvFilePath[0], kAppTitle);
        return fncStoreBitmap(
            core, bitmap,
            bitmapPathFor(choice.strSaveDir, choice.strConvFileName[0], choice.strConvFilePath[0]),
            choice.strConvFilePath[0]);
    }));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 16);
    EXPECT_TRUE(takesInput(window));
    EXPECT_FALSE(wait.isVisible());
}

TEST_F(BatchTest, eitherRunLeavesTheWindowsUnsavedImageItsFilesAndItsTitle)
{
    writeAll(image("shown.KEL"), kelFile(kWidth, kHeight, 9));
    prompter.dialogAnswers = {chose({image("shown.KEL")})};
    window.mnuBinLoad->trigger();
    window.picture().blnNotSaved = true; // as a fetch leaves it
    const QByteArray raw = readAll(tmp("tmp.bin"));
    const QByteArray bitmap = readAll(tmp("tmp.bmp"));
    const QString title = window.windowTitle();

    choose({"A.KEL", "B.KEL"});
    convertAll(dir.file("src"), dir.file("out"));
    prompter.dialogAnswers = {chose({image("A.bmp")}), chose({image("B.bmp")})};
    frmBinBmpConv batch(context());
    batch.Form_Load();
    batch.cmdOK_Click();
    ASSERT_EQ(boxTexts(), (QStringList{message(1), message(1)}));
    EXPECT_TRUE(isBitmap(readAll(image("B.bmp"))));
    EXPECT_FALSE(exists(tmp("batch")));

    EXPECT_TRUE(window.picture().blnNotSaved);
    EXPECT_EQ(window.windowTitle(), title);
    EXPECT_EQ(readAll(tmp("tmp.bin")), raw);
    prompter.dialogAnswers = {chose({image("saved.KEL")}), chose({image("saved.bmp")})};
    window.mnuBinSave->trigger();
    window.mnuBmpSave->trigger();
    EXPECT_EQ(readAll(image("saved.KEL")), kelFile(kWidth, kHeight, 9));
    EXPECT_EQ(readAll(image("saved.bmp")), bitmap);
}

TEST_F(BatchTest, cancelledOutputFolderKeepsTheBatchDialogOpen)
{
    choose({"A.KEL"});
    frmBinBmpConv batch(context());
    batch.Form_Load();
    batch.show();
    whenModal<frmDirSave>([](frmDirSave* picker) { picker->cmdCancel->click(); });
    batch.cmdAuto->click();
    EXPECT_TRUE(batch.isVisible());
    EXPECT_FALSE(window.batchChoice.blnDirSelected);
    EXPECT_FALSE(exists(output("A.bmp")));
}

} // namespace
