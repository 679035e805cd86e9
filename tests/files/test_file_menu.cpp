// The File menu's four commands: saving and reopening sensor image files and bitmaps, their
// dialogs, working files, checks and the controls they change.

#include "FilesTestSupport.h"
#include "ui/PictureCanvas.h"

#include <QAction>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

using namespace kel;
using namespace kel::test;

namespace {

class FileMenuTest : public MainWindowFixture {
protected:
    QStringList values() const
    {
        QStringList texts;
        for (int i = 0; i < 6; ++i)
            texts << window.lblValue[i]->text();
        return texts;
    }
    bool savesEnabled() const
    {
        return window.mnuBinSave->isEnabled() && window.mnuBmpSave->isEnabled() &&
               window.cmdLoad->isEnabled();
    }
    bool pictureShown() const { return !window.picCnvBmp->picture().isNull(); }

    // Opens a sensor image file of width x height through the menu.
    void openKel(int width, int height, const QString& name = QStringLiteral("A.KEL"))
    {
        writeAll(image(name), kelFile(width, height));
        prompter.dialogAnswers.push_back(chose({image(name)}));
        window.mnuBinLoad->trigger();
    }
};

TEST_F(FileMenuTest, statusLineNamesTheFileOfEachCommandAndThePicturesSource)
{
    const auto shown = [this](const char* name) {
        return QDir::toNativeSeparators(QStringLiteral("IMAGE/") + QLatin1String(name));
    };
    const auto expect = [this](const QString& result, const QString& picture) {
        EXPECT_EQ(window.status().result->text(), result);
        EXPECT_EQ(window.status().picture->text(), QStringLiteral("画像: ") + picture);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumexa KEL TOOL - ") + picture);
    };
    writeAll(image(QStringLiteral("p.bmp")), bitmapFile(508, 432, 24));
    writeAll(image(QStringLiteral("low.bmp")), bitmapFile(508, 200, 24));
    prompter.dialogAnswers = {
        chose({image(QStringLiteral("p.bmp"))}), chose({image(QStringLiteral("s.KEL"))}),
        chose({image(QStringLiteral("s.bmp"))}), chose({image(QStringLiteral("low.bmp"))})};

    window.mnuBmpLoad->trigger();
    expect(shown("p.bmp") + QStringLiteral(" を開きました"), QStringLiteral("p.bmp"));
    window.mnuBinSave->trigger();
    expect(shown("s.KEL") + QStringLiteral(" に保存しました"), QStringLiteral("s.KEL"));
    window.mnuBmpSave->trigger();
    expect(shown("s.bmp") + QStringLiteral(" に保存しました"), QStringLiteral("s.bmp"));
    window.mnuBmpLoad->trigger(); // refused with message 16: the picture stays
    expect(shown("low.bmp") + QStringLiteral(" の読込に失敗しました"), QStringLiteral("s.bmp"));
    openKel(508, 216);
    expect(shown("A.KEL") + QStringLiteral(" を開きました"), QStringLiteral("A.KEL"));
}

TEST_F(FileMenuTest, savingWithoutTheWorkingFileShowsMessage12AndAsksNothing)
{
    window.mnuBinSave_Click();
    window.mnuBmpSave_Click();
    EXPECT_EQ(boxTexts(), (QStringList{message(12), message(12)}));
    EXPECT_TRUE(prompter.dialogs.isEmpty());
}

TEST_F(FileMenuTest, bitmapsOfTheSensorsSizesOpenInColourOrGreyOthersAreRefusedByName)
{
    enum class Opens { Colour, Grey, Refused };
    struct Case {
        int width, height, bits;
        Opens opens;
        bool colourTable = false; // an 8-bit bitmap with one colour in its table
    };
    const Case cases[] = {{508, 216, 24, Opens::Colour},      {508, 108, 24, Opens::Colour},
                          {508, 432, 24, Opens::Colour},      {508, 432, 8, Opens::Grey},
                          {508, 108, 8, Opens::Grey},         {508, 200, 24, Opens::Refused},
                          {512, 432, 24, Opens::Refused},     {508, 200, 8, Opens::Refused},
                          {508, 432, 8, Opens::Refused, true}};
    const QString loadTip = core.GetMessageText(kSectionLabel, LabelLoadNeedsColour);
    ASSERT_FALSE(loadTip.isEmpty());
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 x %2 at %3 bits%4")
                         .arg(c.width)
                         .arg(c.height)
                         .arg(c.bits)
                         .arg(c.colourTable ? " with a colour table" : "")
                         .toStdString());
        prompter.boxes.clear();
        writeAll(tmp(QStringLiteral("tmp.bin")), "old raw");
        writeAll(tmp(QStringLiteral("tmp.bmp")), "old bitmap");
        QByteArray bitmap = bitmapFile(c.width, c.height, c.bits);
        if (c.colourTable)
            bitmap[54 + 4 * 7 + 2] = '\xFF'; // entry 7 (pixel 0, 7 uses it) turns red
        const QString path = image(QStringLiteral("in.bmp"));
        writeAll(path, bitmap);
        prompter.dialogAnswers.push_back(chose({path}));

        window.mnuBmpLoad->trigger();

        const QString height = QString::number(c.height);
        switch (c.opens) {
        case Opens::Colour:
            EXPECT_TRUE(prompter.boxes.isEmpty());
            EXPECT_EQ(values(), (QStringList{"3", "0", "0", "0", "508", height}));
            EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bmp"))), bitmap);
            EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bin"))).size(), 508 * 480);
            EXPECT_TRUE(savesEnabled());
            EXPECT_TRUE(window.cmdLoad->toolTip().isEmpty());
            EXPECT_EQ(window.picCnvBmp->picture().size(), QSize(508, c.height));
            break;
        case Opens::Grey:
            // For viewing and saving as a bitmap: no sensor image file, nothing to load.
            EXPECT_TRUE(prompter.boxes.isEmpty());
            EXPECT_EQ(values(), (QStringList{"", "", "", "", "508", height}));
            EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bmp"))), bitmap);
            EXPECT_FALSE(QFile::exists(tmp(QStringLiteral("tmp.bin"))));
            EXPECT_TRUE(window.mnuBmpSave->isEnabled());
            EXPECT_FALSE(window.mnuBinSave->isEnabled());
            EXPECT_FALSE(window.cmdLoad->isEnabled());
            EXPECT_EQ(window.cmdLoad->toolTip(), loadTip);
            EXPECT_EQ(window.picCnvBmp->picture().size(), QSize(508, c.height));
            break;
        case Opens::Refused:
            EXPECT_EQ(boxTexts(), QStringList{message(16).replace(QStringLiteral("%1"),
                                                                  QDir::toNativeSeparators(path))});
            EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bin"))), "old raw");
            EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bmp"))), "old bitmap");
            break;
        }
    }
}

TEST_F(FileMenuTest, openedBitmapBecomesTheImageThatIsSavedAsASensorFile)
{
    writeAll(image(QStringLiteral("in.bmp")), bitmapFile(508, 108, 24));
    prompter.dialogAnswers = {chose({image(QStringLiteral("in.bmp"))}),
                              chose({image(QStringLiteral("out.KEL"))})};
    window.optSelect[1]->setChecked(true);
    window.mnuBmpLoad_Click();
    EXPECT_TRUE(window.optSelect[1]->isChecked()); // the image kind is not touched

    window.picture().blnNotSaved = true;
    window.mnuBinSave_Click();
    const QByteArray saved = readAll(image(QStringLiteral("out.KEL")));
    ASSERT_EQ(saved.size(), 16 + 508 * 108 + 2);
    EXPECT_EQ(saved.mid(8, 8), QByteArray::fromHex("03000000fc016c00"));
    EXPECT_FALSE(window.picture().blnNotSaved);
}

TEST_F(FileMenuTest, anOpenedSensorFileIsSavedByteForByteInEverySize)
{
    for (const int height : {432, 216, 108}) {
        QByteArray original = kelFile(508, height, static_cast<unsigned>(height));
        original.replace(original.size() - 2, 2, "\x5A\xA5"); // a trailer that is not zero
        writeAll(image(QStringLiteral("in.KEL")), original);
        prompter.dialogAnswers = {chose({image(QStringLiteral("in.KEL"))}),
                                  chose({image(QStringLiteral("out.KEL"))})};
        window.mnuBinLoad->trigger();
        window.mnuBinSave->trigger();
        EXPECT_EQ(readAll(image(QStringLiteral("out.KEL"))), original) << height;
        // The working raw file stays the upload file of 480 rows.
        EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bin"))).size(), 508 * 480) << height;
    }
    EXPECT_TRUE(prompter.boxes.isEmpty()) << boxTexts().join('\n').toStdString();
}

TEST_F(FileMenuTest, cancelledOpenLeavesTheWorkingFileAndTheControls)
{
    writeAll(tmp(QStringLiteral("tmp.bin")), "raw");
    window.mnuBinLoad_Click(); // no answer: cancelled
    window.mnuBmpLoad_Click();
    EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bin"))), "raw");
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_FALSE(window.mnuBinSave->isEnabled());
}

TEST_F(FileMenuTest, openedSensorFileIsShownInColourWithItsHeader)
{
    window.optSelect[1]->setChecked(true);
    openKel(508, 216);
    ASSERT_TRUE(prompter.boxes.isEmpty()) << boxTexts().join('\n').toStdString();
    EXPECT_TRUE(window.optSelect[0]->isChecked());
    EXPECT_EQ(values(), (QStringList{"1", "10", "20", "30", "508", "216"}));
    EXPECT_TRUE(savesEnabled());
    EXPECT_EQ(window.picCnvBmp->picture().size(), QSize(508, 216));
    EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bmp"))).size(), 54 + 508 * 3 * 216);

    const FileDialogRequest& request = prompter.dialogs.at(0);
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(request.directory, dir.paths().imageDir());
    EXPECT_EQ(window.cdlFileOpen.Filter, core.GetMessageText(kSectionLabel, 52) + "|*.KEL");
}

// A file that cannot be opened changes nothing: the image, its working files, its controls and
// its unsaved flag stay, so Save still writes the image that is shown.
TEST_F(FileMenuTest, aFileThatCannotBeOpenedLeavesTheImageAsItWas)
{
    const QString bad = image(QStringLiteral("bad.KEL"));
    writeAll(bad, kelFile(508, 108).left(16).replace(12, 2, QByteArray(2, '\0')));
    writeAll(image(QStringLiteral("bad.bmp")), "BM and nothing more");
    for (const bool kel : {true, false}) {
        prompter.boxes.clear();
        openKel(508, 108);
        const QByteArray shownFile = readAll(tmp(QStringLiteral("tmp.bin")));
        const QStringList shownValues = values();
        window.picture().takeFetched(); // as if fetched and not saved yet
        prompter.answers = {AnswerYes};
        prompter.dialogAnswers.push_back(chose({kel ? bad : image(QStringLiteral("bad.bmp"))}));
        (kel ? window.mnuBinLoad : window.mnuBmpLoad)->trigger();

        ASSERT_EQ(prompter.boxes.size(), 2) << boxTexts().join('\n').toStdString();
        EXPECT_EQ(prompter.boxes[0].style, 292) << kel; // discard the unsaved image?
        EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bin"))), shownFile) << kel;
        EXPECT_EQ(values(), shownValues) << kel;
        EXPECT_TRUE(savesEnabled()) << kel;
        EXPECT_TRUE(window.picture().blnNotSaved) << kel;
        EXPECT_EQ(window.picture().origin(), PictureOrigin::Sensor) << kel;

        prompter.dialogAnswers.push_back(chose({image(QStringLiteral("kept.KEL"))}));
        window.mnuBinSave->trigger();
        EXPECT_EQ(readAll(image(QStringLiteral("kept.KEL"))), kelFile(508, 108)) << kel;
    }
}

TEST_F(FileMenuTest, openingOverAnUnsavedFetchAsksFirstAndNoKeepsIt)
{
    openKel(508, 216);
    window.picture().takeFetched();
    const QByteArray shownFile = readAll(tmp(QStringLiteral("tmp.bin")));
    writeAll(image(QStringLiteral("other.KEL")), kelFile(508, 108));
    prompter.boxes.clear();
    prompter.answers = {AnswerNo};
    prompter.dialogAnswers.push_back(chose({image(QStringLiteral("other.KEL"))}));
    window.mnuBinLoad->trigger();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 292);
    EXPECT_EQ(readAll(tmp(QStringLiteral("tmp.bin"))), shownFile);
    EXPECT_TRUE(window.picture().blnNotSaved);

    prompter.answers = {AnswerYes};
    prompter.dialogAnswers.push_back(chose({image(QStringLiteral("other.KEL"))}));
    window.mnuBinLoad->trigger();
    EXPECT_EQ(values().last(), QStringLiteral("108"));
    EXPECT_FALSE(window.picture().blnNotSaved); // the file's image is saved by definition
}

TEST_F(FileMenuTest, saveDialogsOfferTheirFiltersStartingOnTheSecond)
{
    openKel(508, 108);
    prompter.dialogAnswers = {chose({image(QStringLiteral("copy.KEL"))}),
                              chose({image(QStringLiteral("copy.bmp"))})};
    window.mnuBinSave_Click();
    EXPECT_TRUE(window.cdlFileOpen.Filter.endsWith(core.GetMessageText(kSectionLabel, 52) +
                                                   QStringLiteral("| *.KEL")));
    window.mnuBmpSave_Click();
    EXPECT_EQ(window.cdlFileOpen.Filter,
              core.GetMessageText(kSectionLabel, 51) + QStringLiteral("|*.*|*.bmp|*.bmp"));

    for (int i : {1, 2}) {
        const FileDialogRequest& request = prompter.dialogs.at(i);
        EXPECT_EQ(request.mode, FileDialogRequest::Mode::Save);
        EXPECT_EQ(request.nameFilters.size(), 2);
        EXPECT_EQ(request.filterIndex, 1);
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_FALSE(request.multiSelect);
    }
    EXPECT_EQ(window.cdlFileOpen.Flags, 2050);
    EXPECT_EQ(readAll(image(QStringLiteral("copy.KEL"))), kelFile(508, 108));
    EXPECT_EQ(readAll(image(QStringLiteral("copy.bmp"))), readAll(tmp(QStringLiteral("tmp.bmp"))));
}

TEST_F(FileMenuTest, bitmapSaveReplacesALongerFileWhole)
{
    openKel(508, 108);
    writeAll(image(QStringLiteral("old.bmp")), QByteArray(1'000'000, 'x'));
    prompter.dialogAnswers.push_back(chose({image(QStringLiteral("old.bmp"))}));
    window.picture().blnNotSaved = true;
    window.mnuBmpSave_Click();
    EXPECT_EQ(readAll(image(QStringLiteral("old.bmp"))), readAll(tmp(QStringLiteral("tmp.bmp"))));
    EXPECT_FALSE(window.picture().blnNotSaved);
}

TEST_F(FileMenuTest, bitmapSaveIntoAMissingFolderShowsTheFailure)
{
    openKel(508, 108);
    prompter.dialogAnswers.push_back(chose({dir.file(QStringLiteral("nowhere/x.bmp"))}));
    window.picture().blnNotSaved = true;
    window.mnuBmpSave_Click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 16);
    EXPECT_EQ(prompter.boxes[0].title, kAppTitle);
    EXPECT_TRUE(window.picture().blnNotSaved);
}

TEST_F(FileMenuTest, everyDialogProposesThePreviousNameOnlyForAFileOfItsKind)
{
    openKel(508, 108);
    prompter.dialogAnswers = {chose({image(QStringLiteral("kept.bmp"))})};
    window.mnuBmpSave_Click();
    window.mnuBinSave_Click(); // cancelled
    window.mnuBmpLoad_Click(); // cancelled
    ASSERT_EQ(prompter.dialogs.size(), 4);
    EXPECT_EQ(prompter.dialogs[1].fileName, QString()) << "a .KEL name for a bitmap";
    EXPECT_EQ(prompter.dialogs[2].fileName, QString()) << "a bitmap's name for a .KEL save";
    EXPECT_EQ(prompter.dialogs[3].fileName, image(QStringLiteral("kept.bmp")));
}

} // namespace
