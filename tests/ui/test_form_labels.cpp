// Label files applied to windows: matching by name and index, fonts, line breaks, bad lines,
// and the shipped files against the real main window.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/LabelLines.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"
#include "ui/FormLabels.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::ScriptedPrompter;
using kel::test::TempAppDir;

namespace {

class FormLabelsTest : public ::testing::Test {
protected:
    FormLabelsTest() : core(dir.paths(), prompter), window(core) {}

    void labels(const QByteArray& frmMainSection)
    {
        dir.write(QStringLiteral("LabelJPN.ini"), "[frmMain]\r\n" + frmMainSection);
        LoadFormLabels(core, &window);
    }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core;
    frmMain window;
};

TEST_F(FormLabelsTest, lineSetsCaptionFontAndSize)
{
    labels("cmdConvert = \tFetch\t @ DejaVu Serif @ 9\r\n");
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Fetch"));
    EXPECT_EQ(window.cmdConvert->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(window.cmdConvert->font().pointSize(), 9);
}

TEST_F(FormLabelsTest, controlNamesMatchWithoutCaseButTheWindowNameExactly)
{
    labels("CMDCONVERT = Fetch @ Sans @ 11\r\nFRMMAIN = Wrong title @ Sans @ 9\r\n");
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Fetch"));
    EXPECT_EQ(window.cmdConvert->font().pointSize(), 11);
    EXPECT_EQ(window.windowTitle(), kAppTitle);

    labels("frmMain = Tool\\nTitle @ Sans @ 9\r\n");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tool\\nTitle")); // stays as written
}

TEST_F(FormLabelsTest, indexAddressesOneMemberAndNoIndexTheFirst)
{
    labels("optMesure@2 = Other @ Sans @ 9\r\n");
    EXPECT_EQ(window.optMesure[2]->text(), QStringLiteral("Other"));
    EXPECT_EQ(window.optMesure[0]->text(), QStringLiteral("Option"));
    EXPECT_EQ(window.optMesure[1]->text(), QStringLiteral("Option"));

    labels("optMesure = First @ Sans @ 9\r\nmnuBankSelect @ 8 = Bank eight @ Sans @ 9\r\n");
    EXPECT_EQ(window.optMesure[0]->text(), QStringLiteral("First"));
    EXPECT_EQ(window.optMesure[1]->text(), QStringLiteral("Option"));
    EXPECT_EQ(window.mnuBankSelect[8]->text(), QStringLiteral("Bank eight"));
    EXPECT_EQ(window.mnuBankSelect[1]->text(), QStringLiteral("Bank1"));
}

TEST_F(FormLabelsTest, lineBreakInACaption)
{
    labels("lblTitle = Image\\nTool @ Sans @ 9\r\n");
    EXPECT_EQ(window.lblTitle->text(), QStringLiteral("Image\nTool"));
}

TEST_F(FormLabelsTest, menusFramesAndSubmenusTakeCaptions)
{
    labels("mnuFile = &File @ Sans @ 9\r\nmnuBinBmpConv = Convert @ Sans @ 9\r\n"
           "mnuQuit = E&xit @ Sans @ 9\r\nfraImage = Image @ Sans @ 9\r\n");
    EXPECT_EQ(window.mnuFile->title(), QStringLiteral("&File"));
    EXPECT_EQ(window.mnuBinBmpConv->title(), QStringLiteral("Convert"));
    EXPECT_EQ(window.mnuQuit->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(window.fraImage->title(), QStringLiteral("Image"));
}

TEST_F(FormLabelsTest, badLinesKeepTheDesignCaptionsAndTheRestApplies)
{
    labels("; cmdConvert = Comment @ Sans @ 9\r\n"
           "cmdConvert\r\n"
           "cmdConvert = Only caption\r\n"
           "cmdConvert = Two @ parts\r\n"
           "optMesure@x = Bad index @ Sans @ 9\r\n"
           "noSuchControl = Nothing @ Sans @ 9\r\n"
           "cmdLoad = Load @ Sans @ big\r\n"
           "cmdMeasure = Measure @ Sans @ 10\r\n");
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Command1"));
    EXPECT_EQ(window.optMesure[0]->text(), QStringLiteral("Option"));
    EXPECT_EQ(window.cmdLoad->text(), QStringLiteral("Load")); // size left alone
    EXPECT_EQ(window.cmdMeasure->text(), QStringLiteral("Measure"));
}

// A size no control takes is ignored, caption and font name still apply: the window would
// otherwise grow past anything a screen, or memory, can hold.
TEST_F(FormLabelsTest, fontSizeBeyondWhatAControlTakesIsIgnored)
{
    const int designSize = window.cmdConvert->font().pointSize();
    labels("cmdConvert = Huge @ DejaVu Serif @ 32767\r\n"
           "cmdLoad = Largest @ Sans @ 2160\r\n"
           "frmMain = Title @ Sans @ 30000\r\n");
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Huge"));
    EXPECT_EQ(window.cmdConvert->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(window.cmdConvert->font().pointSize(), designSize);
    EXPECT_EQ(window.cmdLoad->font().pointSize(), 2160);
    EXPECT_LT(window.font().pointSize(), 100);
    EXPECT_LT(window.sizeHint().width(), 100000);
}

TEST_F(FormLabelsTest, missingFileOrSectionChangesNothing)
{
    LoadFormLabels(core, &window);
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Command1"));
    dir.write(QStringLiteral("LabelJPN.ini"), "[frmOther]\r\ncmdConvert = X @ Sans @ 9\r\n");
    LoadFormLabels(core, &window);
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Command1"));
}

TEST_F(FormLabelsTest, shiftJisLabelFileIsRead)
{
    // "画像取得" in the Japanese ANSI code page; "ソ" (83 5C) ends in a backslash byte.
    dir.write(QStringLiteral("LabelJPN.ini"),
              QByteArray("[frmMain]\r\ncmdConvert = ") + QByteArray::fromHex("89e6919c8ee693be") +
                  " @ Sans @ 9\r\ncmdLoad = " + QByteArray::fromHex("835c") + " @ Sans @ 9\r\n");
    LoadFormLabels(core, &window);
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("画像取得"));
    EXPECT_EQ(window.cmdLoad->text(), QStringLiteral("ソ"));
}

TEST(LabelLineParsing, valuePartsAndIndex)
{
    const std::vector<LabelLine> lines = parseLabelLines(
        {QStringLiteral("lblItem @ 3 = Gain\tR @ MS UI Gothic @ 9 @ extra"),
         QStringLiteral("x = a = b @ c @ 1"), QStringLiteral("  ;lblItem = c @ f @ 9")});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].name, QStringLiteral("lblItem"));
    EXPECT_EQ(lines[0].index, 3);
    EXPECT_EQ(lines[0].caption, QStringLiteral("GainR"));
    EXPECT_EQ(lines[0].fontName, QStringLiteral("MS UI Gothic"));
    EXPECT_EQ(lines[0].fontSize, 9);
}

// Every line the shipped files hold for the main window must reach a control: a misspelt
// name would silently leave a design caption on screen.
class ShippedLabelsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedLabelsTest, everyMainWindowLineMatchesAControl)
{
    TempAppDir dir;
    dir.addLanguageFiles();
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    frmMain window(core);
    const profile::SectionResult section =
        profile::readSection(dir.file(QLatin1String(GetParam())), QStringLiteral("frmMain"), 8192);
    const std::vector<LabelLine> lines = parseLabelLines(section.lines);
    ASSERT_GT(lines.size(), 40u);
    for (const LabelLine& line : lines) {
        if (line.name == QStringLiteral("frmMain"))
            continue;
        EXPECT_TRUE(ApplyControlLabel(&window, line.name, line.index, line.caption, line.fontName,
                                      line.fontSize))
            << line.name.toStdString();
    }
    for (const char* window : {"frmMain", "frmOption", "frmAbout", "frmWait", "frmComSet",
                               "frmBinBmpConv", "frmDirSearch", "frmDirSave"}) {
        EXPECT_FALSE(
            profile::readSection(dir.file(QLatin1String(GetParam())), QLatin1String(window), 8192)
                .lines.isEmpty())
            << window;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShippedLabelsTest,
                         ::testing::Values("LabelJPN.ini", "LabelENG.ini"));

} // namespace
