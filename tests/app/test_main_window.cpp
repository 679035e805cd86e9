// The main window's start-up and shutdown in a fresh application folder.

#include "core/AppCore.h"
#include "app/frmMain.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
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
