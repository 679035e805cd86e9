// The shared open/save dialog: filters, kept properties, cancel and multiple choices.

#include "core/CommonDialog.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::ScriptedPrompter;

namespace {

FileDialogResult chose(QStringList files, int filterIndex = 0)
{
    return {true, std::move(files), filterIndex};
}

TEST(CommonDialog, filterPairsBecomeQtFiltersWithBothCases)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("All files (*.*)|*.*|Bank data files (*.BNK)| *.BNK")),
              (QStringList{"All files (*.*) (*.*)", "Bank data files (*.BNK) (*.BNK *.bnk)"}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Pictures|*.bmp;*.BMP")),
              (QStringList{"Pictures (*.bmp *.BMP)"}));
    EXPECT_TRUE(qtNameFilters(QStringLiteral("dangling")).isEmpty());
}

TEST(CommonDialog, saveRequestCarriesFolderFilterIndexAndFlags)
{
    ScriptedPrompter prompter;
    CommonDialog dialog(prompter);
    dialog.CancelError = true;
    dialog.Filter = QStringLiteral("All|*.*|Banks| *.BNK");
    dialog.FilterIndex = 2;
    dialog.Flags = cdlOFNOverwritePrompt | cdlOFNPathMustExist;
    dialog.InitDir = QStringLiteral("/app/BANK");
    prompter.dialogAnswers = {chose({QStringLiteral("/app/BANK/b3.BNK")}, 1)};

    ASSERT_EQ(dialog.ShowSave(), 0);
    const FileDialogRequest& request = prompter.dialogs.at(0);
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.directory, QStringLiteral("/app/BANK"));
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_FALSE(request.multiSelect);
    EXPECT_EQ(dialog.FileName, QStringLiteral("/app/BANK/b3.BNK"));
    EXPECT_EQ(dialog.FileTitle, QStringLiteral("b3.BNK"));
}

TEST(CommonDialog, propertiesAndTheLastNameCarryOverToTheNextUse)
{
    ScriptedPrompter prompter;
    CommonDialog dialog(prompter);
    dialog.Flags = cdlOFNOverwritePrompt;
    dialog.Filter = QStringLiteral("Banks|*.BNK");
    prompter.dialogAnswers = {chose({QStringLiteral("/x/one.BNK")}),
                              chose({QStringLiteral("/x/two.BNK")})};
    dialog.ShowSave();
    dialog.ShowOpen(); // nothing set in between
    const FileDialogRequest& second = prompter.dialogs.at(1);
    EXPECT_TRUE(second.confirmOverwrite);
    EXPECT_EQ(second.fileName, QStringLiteral("/x/one.BNK"));
    EXPECT_EQ(second.nameFilters, QStringList{"Banks (*.BNK *.bnk)"});
    EXPECT_EQ(dialog.FileName, QStringLiteral("/x/two.BNK"));
}

TEST(CommonDialog, theLastNameIsProposedOnlyForAFileOfTheKindAtHand)
{
    struct Case {
        const char *last, *filter;
        int filterIndex;
        const char* proposed;
    };
    const Case cases[] = {
        {"/app/BANK/bank1.BNK", "All|*.*|System| *.STD", 2, ""},
        {"/app/SYSTEM/sys.std", "All|*.*|System| *.STD", 2, "/app/SYSTEM/sys.std"},
        {"/app/IMAGE/a.KEL", "All|*.*|Bitmaps|*.bmp", 2, ""},
        {"/app/IMAGE/a.KEL", "All|*.*|Bitmaps|*.bmp", 1, "/app/IMAGE/a.KEL"},
        {"/app/IMAGE/a.KEL", "KEL files|*.KEL", 1, "/app/IMAGE/a.KEL"},
        {"/app/IMAGE/a.KEL", "KEL files|*.KEL", 3, "/app/IMAGE/a.KEL"}, // the first stands in
        {"/app/IMAGE/a.bmp", "KEL files|*.KEL", 2, ""},
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        CommonDialog dialog(prompter);
        dialog.FileName = QLatin1String(c.last);
        dialog.Filter = QLatin1String(c.filter);
        dialog.FilterIndex = c.filterIndex;
        dialog.InitDir = QStringLiteral("/app/OWN");
        prompter.dialogAnswers = {FileDialogResult{}};
        dialog.ShowOpen();
        EXPECT_EQ(prompter.dialogs.at(0).fileName, QLatin1String(c.proposed))
            << c.last << " " << c.filter << " " << c.filterIndex;
        EXPECT_EQ(prompter.dialogs.at(0).directory, QStringLiteral("/app/OWN"));
    }
}

TEST(CommonDialog, aNameSavedWithoutExtensionGetsTheChosenFiltersOne)
{
    struct Case {
        const char* typed;
        int chosenFilter; // 0-based, as the dialog answers
        const char* saved;
    };
    const Case cases[] = {
        {"/app/BANK/monday", 1, "/app/BANK/monday.BNK"},
        {"/app/BANK/monday.old", 1, "/app/BANK/monday.old"},
        {"/app/BANK/monday.bnk", 1, "/app/BANK/monday.bnk"},
        {"/app/BANK/monday", 0, "/app/BANK/monday"}, // "All files" names no extension
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        CommonDialog dialog(prompter);
        dialog.Filter = QStringLiteral("All|*.*|Banks| *.BNK");
        dialog.FilterIndex = 2;
        prompter.dialogAnswers = {chose({QLatin1String(c.typed)}, c.chosenFilter),
                                  chose({QLatin1String(c.typed)}, c.chosenFilter)};
        ASSERT_EQ(dialog.ShowSave(), 0);
        EXPECT_EQ(QDir::fromNativeSeparators(dialog.FileName), QLatin1String(c.saved)) << c.typed;
        dialog.FilterIndex = 2;
        dialog.ShowOpen();
        EXPECT_EQ(QDir::fromNativeSeparators(dialog.FileName), QLatin1String(c.typed))
            << "an opened name stays as chosen";
    }
}

TEST(CommonDialog, cancelIsADistinctOutcome)
{
    ScriptedPrompter prompter;
    CommonDialog dialog(prompter);
    dialog.FileName = QStringLiteral("/x/old.KEL");
    dialog.CancelError = true;
    EXPECT_EQ(dialog.ShowOpen(), cdlCancel);
    EXPECT_EQ(dialog.FileName, QStringLiteral("/x/old.KEL"));

    dialog.CancelError = false;
    EXPECT_EQ(dialog.ShowOpen(), 0);
    EXPECT_EQ(dialog.FileName, QString());
    EXPECT_TRUE(dialog.chosenFiles().isEmpty());
}

TEST(CommonDialog, severalFilesGiveFolderAndNamesSeparatedByNul)
{
    ScriptedPrompter prompter;
    CommonDialog dialog(prompter);
    dialog.Flags = cdlOFNAllowMultiselect | cdlOFNExplorer;
    prompter.dialogAnswers = {chose({QStringLiteral("/img/a.KEL"), QStringLiteral("/img/b.KEL")}),
                              chose({QStringLiteral("/img/c.KEL")})};
    ASSERT_EQ(dialog.ShowOpen(), 0);
    EXPECT_TRUE(prompter.dialogs.at(0).multiSelect);
    EXPECT_EQ(dialog.FileName, QStringLiteral("/img") + QChar(0) + "a.KEL" + QChar(0) + "b.KEL");
    EXPECT_EQ(dialog.chosenFiles(), (QStringList{"/img/a.KEL", "/img/b.KEL"}));

    dialog.ShowOpen();
    EXPECT_EQ(prompter.dialogs.at(1).fileName, QString()); // no name proposed after several
    EXPECT_EQ(dialog.chosenFiles(), QStringList{"/img/c.KEL"});
    EXPECT_EQ(dialog.FileTitle, QStringLiteral("c.KEL"));
}

} // namespace
