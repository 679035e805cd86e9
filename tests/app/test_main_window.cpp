// The main window's start-up and shutdown in a fresh application folder.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "dialogs/frmComSet.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
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

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        dir.addLanguageFiles();
        core.userDefaultLangId = [] { return 1033; };
        core.endProcess = [](int) {};
        window.endProcess = [this] { ++ended; };
    }

    bool exists(const QString& name) const { return QFileInfo::exists(dir.file(name)); }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core{dir.paths(), prompter};
    frmMain window{core};
    int ended = 0;
};

TEST_F(MainWindowTest, firstStartMakesFoldersSettingsAndJapaneseCaptions)
{
    window.Form_Load();
    for (const char* folder : {"TMP", "IMAGE", "SYSTEM", "BANK"})
        EXPECT_TRUE(QFileInfo(dir.file(QLatin1String(folder))).isDir()) << folder;
    EXPECT_EQ(dir.read(QStringLiteral("Setting.ini")),
              QByteArray("[OPERATION]\r\nLanguage=Japanese\r\n"
                         "[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n"));
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("画像取得"));
    EXPECT_EQ(window.mnuFile->title(), QStringLiteral("ファイル(&F)"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(MainWindowTest, initialStateOfControls)
{
    window.Form_Load();
    EXPECT_FALSE(window.mnuBinSave->isEnabled());
    EXPECT_FALSE(window.mnuBmpSave->isEnabled());
    EXPECT_FALSE(window.cmdLoad->isEnabled());
    EXPECT_TRUE(window.cmdConvert->isEnabled());
    EXPECT_TRUE(window.optMesure[0]->isChecked());
    EXPECT_TRUE(window.optSelect[0]->isChecked());
    EXPECT_FALSE(window.optSelect[1]->isChecked());
}

TEST_F(MainWindowTest, englishSettingTakesTheEnglishFiles)
{
    dir.write(QStringLiteral("Setting.ini"), "[OPERATION]\r\nLanguage=English\r\n");
    window.Form_Load();
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Get Image"));
    EXPECT_EQ(core.lngLanguage, LanguageEnglish);
}

// Qt's own buttons (the fetch, discard and upload questions, the file dialogs) speak the
// window's language, not the desktop's, and follow it when it changes.
TEST_F(MainWindowTest, questionButtonsSpeakTheWindowsLanguage)
{
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_ja.qm")))
        GTEST_SKIP() << "no qtbase_ja.qm (Debian's qt6-translations-l10n)";
    for (const auto& [language, yes] :
         {std::pair{"Japanese", "はい"}, {"English", "Yes"}, {"Japanese", "はい"}}) {
        dir.write(QStringLiteral("Setting.ini"),
                  QByteArray("[OPERATION]\r\nLanguage=") + language + "\r\n");
        window.Form_Load();
        QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No);
        EXPECT_TRUE(buttons.button(QDialogButtonBox::Yes)->text().contains(QString::fromUtf8(yes)))
            << language << ": " << buttons.button(QDialogButtonBox::Yes)->text().toStdString();
    }
}

// Texts that change while the window runs (a measured value, the trend's counts, a long result)
// never resize it.
TEST_F(MainWindowTest, theWindowKeepsItsSizeWhileItsTextsChange)
{
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    const QSize size = window.size();
    window.lblValue[7]->setText(QStringLiteral("-123456789.012345"));
    window.lblTrendState->setText(QString(QStringLiteral("OK 123456, NG 7890 ")).repeated(6));
    window.status().showResult(QString(QStringLiteral("SYSTEM/a-long-name.STD ")).repeated(12));
    QApplication::processEvents();
    EXPECT_EQ(window.size(), size);
    EXPECT_EQ(window.status().result->text().size(), 23 * 12); // whole, only painted shorter
}

TEST_F(MainWindowTest, leftoverTemporaryFilesGoOthersStay)
{
    for (const char* name : {"TMP/tmp.bin", "TMP/tmp_2.bin", "TMP/tmp.bmp", "TMP/keep.bin",
                             "TMP/tmp.bin.bak", "IMAGE/tmp.bin"})
        dir.write(QLatin1String(name), "x");
    window.Form_Load();
    EXPECT_FALSE(exists(QStringLiteral("TMP/tmp.bin")));
    EXPECT_FALSE(exists(QStringLiteral("TMP/tmp_2.bin")));
    EXPECT_FALSE(exists(QStringLiteral("TMP/tmp.bmp")));
    EXPECT_TRUE(exists(QStringLiteral("TMP/keep.bin")));
    EXPECT_TRUE(exists(QStringLiteral("TMP/tmp.bin.bak")));
    EXPECT_TRUE(exists(QStringLiteral("IMAGE/tmp.bin")));
}

TEST_F(MainWindowTest, quitFromTheMenuAndClosingBothRunTheShutdownOnce)
{
    for (bool byMenu : {true, false}) {
        TempAppDir other;
        other.addLanguageFiles();
        other.write(QStringLiteral("Setting.ini"), "[OPERATION]\r\nLanguage=German\r\n");
        AppCore otherCore(other.paths(), prompter);
        otherCore.userDefaultLangId = [] { return 1041; };
        frmMain main(otherCore);
        int count = 0;
        main.endProcess = [&count] { ++count; };
        main.Form_Load();
        other.write(QStringLiteral("TMP/tmp.bin"), "x");
        other.write(QStringLiteral("TMP/tmp.bmp"), "x");

        if (byMenu)
            main.mnuQuit->trigger();
        main.close(); // after a quit from the menu, the closing window must not shut down again

        EXPECT_EQ(count, 1) << byMenu;
        EXPECT_FALSE(QFileInfo::exists(other.file(QStringLiteral("TMP/tmp.bin"))));
        EXPECT_FALSE(QFileInfo::exists(other.file(QStringLiteral("TMP/tmp.bmp"))));
        EXPECT_TRUE(other.read(QStringLiteral("Setting.ini"))
                        .startsWith("[OPERATION]\r\nLanguage=Japanese\r\n"));
    }
}

TEST_F(MainWindowTest, folderThatCannotBeCreatedIsReportedOnceAndStartGoesOn)
{
    dir.write(QStringLiteral("IMAGE"), "a file where a folder belongs");
    dir.write(QStringLiteral("BANK"), "another");
    window.Form_Load();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 16);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral("IMAGE")));
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral("BANK")));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("SYSTEM"))).isDir());
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("画像取得"));
}

TEST_F(MainWindowTest, missingLanguageFilesKeepDesignCaptions)
{
    for (const char* name : {"LabelJPN.ini", "MessageJPN.ini"})
        QFile::remove(dir.file(QLatin1String(name)));
    window.Form_Load();
    EXPECT_EQ(window.cmdConvert->text(), QStringLiteral("Command1"));
    EXPECT_EQ(window.mnuFile->title(), QStringLiteral("File"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(MainWindowTest, shortcutsRunTheirCommands)
{
    window.Form_Load();
    dir.write(QStringLiteral("KEL_HELP_JPN.chm"), "help");
    int helpOpened = 0;
    window.openWithShell = [&helpOpened](const QUrl&, const auto&) { ++helpOpened; };
    const QString workFileMissing =
        core.GetMessageText(kSectionMessage, MsgWorkFileMissing).split('@').first().trimmed();
    const QString fetchQuestion =
        core.GetMessageText(kSectionQuestion, QuestionFetch).split('@').first().trimmed();
    window.mnuBinSave->setEnabled(true); // a save without an image says the file is missing
    window.mnuBmpSave->setEnabled(true);

    const struct {
        QAction* action;
        QKeySequence keys;
        std::function<bool()> ran;
    } cases[] = {
        {window.mnuBinLoad, QKeySequence(QStringLiteral("Ctrl+O")),
         [&] {
             return prompter.dialogs.size() == 1 &&
                    prompter.dialogs[0].nameFilters.join(QString()).contains("KEL");
         }},
        {window.mnuBmpLoad, QKeySequence(QStringLiteral("Ctrl+Shift+O")),
         [&] { return prompter.dialogs.size() == 2; }},
        {window.mnuBinSave, QKeySequence(QStringLiteral("Ctrl+S")),
         [&] { return prompter.boxes.size() == 1 && prompter.boxes[0].text == workFileMissing; }},
        {window.mnuBmpSave, QKeySequence(QStringLiteral("Ctrl+Shift+S")),
         [&] { return prompter.boxes.size() == 2 && prompter.boxes[1].text == workFileMissing; }},
        {window.fetchShortcut, QKeySequence(QStringLiteral("F5")),
         [&] { return prompter.boxes.size() == 3 && prompter.boxes[2].text == fetchQuestion; }},
        {window.mnuContents, QKeySequence(QStringLiteral("F1")), [&] { return helpOpened == 1; }},
        {window.mnuQuit, QKeySequence(QStringLiteral("Ctrl+Q")), [&] { return ended == 1; }},
    };
    prompter.answers = {AnswerOk, AnswerOk, AnswerNo};
    for (const auto& c : cases) {
        const std::string name = c.keys.toString().toStdString();
        EXPECT_EQ(c.action->shortcut(), c.keys) << name;
        c.action->trigger();
        EXPECT_TRUE(c.ran()) << name;
    }
}

TEST_F(MainWindowTest, fetchKeyPressesTheButtonOnlyWhenItTakesInput)
{
    window.Form_Load();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    prompter.answers = {AnswerNo, AnswerNo};
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_EQ(prompter.boxes.size(), 1);       // the fetch question, declined
    window.centralWidget()->setEnabled(false); // as while an operation runs
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_EQ(prompter.boxes.size(), 1);
}

// Every item shows its mnemonic, and no two items of one menu share a letter, in either language.
TEST_F(MainWindowTest, menuMnemonicsAreUniqueInEachMenu)
{
    for (const char* language : {"Japanese", "English"}) {
        TempAppDir other;
        other.addLanguageFiles();
        other.write(QStringLiteral("Setting.ini"),
                    QByteArray("[OPERATION]\r\nLanguage=") + language + "\r\n");
        AppCore otherCore(other.paths(), prompter);
        frmMain main(otherCore);
        main.endProcess = [] {};
        main.Form_Load();

        QList<QWidget*> menus{main.menuBar()};
        while (!menus.isEmpty()) {
            QWidget* menu = menus.takeFirst();
            QSet<QChar> letters;
            for (QAction* action : menu->actions()) {
                if (action->isSeparator() || action->objectName() == "fetchShortcut")
                    continue;
                const QString text = action->text();
                const qsizetype amp = text.indexOf(QLatin1Char('&'));
                ASSERT_TRUE(amp >= 0 && amp + 1 < text.size())
                    << language << ": " << text.toStdString();
                const QChar letter = text.at(amp + 1).toUpper();
                EXPECT_FALSE(letters.contains(letter)) << language << ": " << text.toStdString();
                letters.insert(letter);
                if (action->menu())
                    menus.append(action->menu());
            }
        }
    }
}

TEST_F(MainWindowTest, statusBarShowsTheLineInUseAndFollowsTheSettingsDialog)
{
    window.Form_Load();
#ifdef Q_OS_WIN
    const QString device = QStringLiteral("COM1");
#else
    const QString device = QStringLiteral("/dev/ttyS0");
#endif
    EXPECT_EQ(window.status().port->text(), device + QStringLiteral(" 38400 8N1 CR"));
    EXPECT_EQ(window.status().picture->text(), QStringLiteral("画像: なし"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumexa KEL TOOL"));

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmComSet*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->CmbReate->setCurrentIndex(1);  // 19200
        dialog->CmbParity->setCurrentIndex(2); // even
        dialog->cmdOK->click();
    });
    window.mnuComSet->trigger();
    EXPECT_EQ(window.status().port->text(), device + QStringLiteral(" 19200 8E1 CR"));
}

TEST_F(MainWindowTest, replyWaitShowsABusyCursorAndWhatItWaitsForUntilItEnds)
{
    window.Form_Load();
    window.status().showResult(QStringLiteral("before"));
    serial::LineNotices& notices = window.line().notices();

    notices.waitingForReply(QStringLiteral("BANKSAVE 3"));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(window.status().result->text(),
              QStringLiteral("センサの応答を待っています (バンク3のバックアップ)..."));

    notices.replyWaitEnded();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window.status().result->text(), QStringLiteral("before"));
}

TEST(AppPathsResolution, writableFolderOfTheExecutableIsTheApplicationFolder)
{
    TempAppDir exe;
    TempAppDir user;
    const auto writable = [](const QString&) { return true; };
    const auto readOnly = [](const QString&) { return false; };

    AppPaths paths = AppPaths::resolve(exe.path(), writable, user.path());
    EXPECT_EQ(paths.appDir, exe.path());
    EXPECT_EQ(paths.dataDir, exe.path());

    paths = AppPaths::resolve(exe.path(), readOnly, user.path());
    EXPECT_EQ(paths.appDir, user.path());
    EXPECT_EQ(paths.dataDir, exe.path());
}

TEST(AppPathsResolution, languageFilesOfAnInstalledTreeAreFound)
{
    TempAppDir prefix;
    prefix.write(QStringLiteral("share/keltool/LabelJPN.ini"), "[frmMain]\r\n");
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    // Even a folder the user could write (root running /usr/bin/keltool) is left alone.
    const AppPaths paths = AppPaths::resolve(
        prefix.file(QStringLiteral("bin")), [](const QString&) { return true; },
        QStringLiteral("/home/u"));
    EXPECT_EQ(paths.dataDir, QDir::cleanPath(prefix.file(QStringLiteral("share/keltool"))));
    EXPECT_EQ(paths.appDir, QStringLiteral("/home/u"));
}

} // namespace
