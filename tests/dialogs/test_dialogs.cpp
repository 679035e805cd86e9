// Options dialog, about box and help.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/VersionText.h"
#include "dialogs/HelpFile.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmOption.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::ScriptedPrompter;
using kel::test::TempAppDir;

namespace {

class DialogsTest : public ::testing::Test {
protected:
    DialogsTest() { dir.addLanguageFiles(); }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core{dir.paths(), prompter};
};

TEST_F(DialogsTest, optionConfirmedIsKeptButNotShownAgain)
{
    {
        frmOption dialog(core);
        dialog.Form_Load();
        dialog.optImage[1]->setChecked(true);
        dialog.cmdOK->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(core.lngImageOption, 1);

    frmOption again(core);
    again.Form_Load();
    EXPECT_TRUE(again.optImage[0]->isChecked());
    again.optImage[1]->setChecked(false);
    again.optImage[0]->setChecked(false);
    again.cmdCancel->click();
    EXPECT_EQ(core.lngImageOption, 1);
}

TEST_F(DialogsTest, optionCancelLeavesTheValue)
{
    core.lngImageOption = 1;
    frmOption dialog(core);
    dialog.Form_Load();
    dialog.optImage[0]->setChecked(true);
    dialog.cmdCancel->click();
    EXPECT_EQ(core.lngImageOption, 1);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(VersionLine, minorHasTwoDigitsAndTheRevisionFollowsDirectly)
{
    EXPECT_EQ(versionLine(QStringLiteral("Version"), {1, 5, 3}), QStringLiteral("Version 1.053"));
    EXPECT_EQ(versionLine(QStringLiteral("Version"), {2, 10, 0}), QStringLiteral("Version 2.100"));
    EXPECT_EQ(versionLine(QString(), {1, 10, 0}), QStringLiteral(" 1.100"));
}

TEST_F(DialogsTest, aboutBoxShowsTitleAndVersionOfTheLanguage)
{
    core.lngLanguage = LanguageEnglish;
    frmAbout dialog(core);
    dialog.Form_Load();
    EXPECT_EQ(dialog.lblTitle->text(), QStringLiteral("Lumexa KEL TOOL"));
    EXPECT_EQ(dialog.lblVersion->text(),
              versionLine(core.GetMessageText(kSectionLabel, 10), programVersion()));
    EXPECT_TRUE(dialog.lblVersion->text().startsWith(QStringLiteral("Version ")));
}

TEST_F(DialogsTest, enterAndEscapeCloseTheAboutBox)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout dialog(core);
        dialog.Form_Load();
        QTimer::singleShot(0, [&dialog, key] { QTest::keyClick(&dialog, key); });
        QTimer::singleShot(2000, &dialog,
                           [&dialog] { dialog.done(42); }); // a missed key must not hang
        dialog.exec();
        EXPECT_TRUE(dialog.result() == QDialog::Accepted || dialog.result() == QDialog::Rejected)
            << key;
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(DialogsTest, helpFollowsTheLanguageAndPrefersCompiledHelp)
{
    EXPECT_TRUE(helpDocument(dir.paths(), LanguageJapanese).isEmpty());

    dir.write(QStringLiteral("help/ja/index.html"), "<html></html>");
    dir.write(QStringLiteral("help/en/index.html"), "<html></html>");
    EXPECT_EQ(helpDocument(dir.paths(), LanguageJapanese).toLocalFile(),
              dir.file(QStringLiteral("help/ja/index.html")));
    EXPECT_EQ(helpDocument(dir.paths(), LanguageEnglish).toLocalFile(),
              dir.file(QStringLiteral("help/en/index.html")));

    dir.write(QStringLiteral("KEL_HELP_ENG.chm"), "chm");
    EXPECT_EQ(helpDocument(dir.paths(), LanguageEnglish).toLocalFile(),
              dir.file(QStringLiteral("KEL_HELP_ENG.chm")));
    EXPECT_EQ(helpDocument(dir.paths(), LanguageJapanese).toLocalFile(),
              dir.file(QStringLiteral("help/ja/index.html")));
}

TEST_F(DialogsTest, helpMenuOpensTheDocumentWithTheShellAndNothingWhenThereIsNone)
{
    frmMain window(core);
    QList<QUrl> opened;
    bool shown = true;
    window.openWithShell = [&](const QUrl& url, const std::function<void()>& failed) {
        opened << url;
        if (!shown)
            failed();
    };
    window.mnuContents->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(prompter.boxes.isEmpty());

    dir.write(QStringLiteral("KEL_HELP_JPN.chm"), "chm");
    window.mnuContents->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), dir.file(QStringLiteral("KEL_HELP_JPN.chm")));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    // No program took it: the operator is told where the file is, in the window's language.
    shown = false;
    window.mnuContents->trigger();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.startsWith(QStringLiteral("ヘルプを表示できません")));
    EXPECT_TRUE(prompter.boxes[0].text.endsWith(
        QDir::toNativeSeparators(dir.file(QStringLiteral("KEL_HELP_JPN.chm")))));
}

} // namespace
