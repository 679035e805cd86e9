// The shared open/save dialog: filters, kept properties, cancel and multiple choices.

#include "core/CommonDialog.h"
#include "support/ScriptedPrompter.h"

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
