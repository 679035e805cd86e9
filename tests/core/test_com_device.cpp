// The optional "Device" key of section "COM" and a settings file chosen on a command line.

#include "core/AppCore.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <gtest/gtest.h>

using namespace kel;
using kel::test::ScriptedPrompter;
using kel::test::TempAppDir;

namespace {

const QByteArray kThreeKeys = "[OPERATION]\r\nLanguage=English\r\n"
                              "[COM]\r\nPort=2\r\nSetting=9600,E,7,1\r\nDelimitr=1\r\n";

class ComDeviceTest : public ::testing::Test {
protected:
    ComDeviceTest() : core(dir.paths(), prompter)
    {
        dir.addLanguageFiles();
        core.endProcess = [](int) {};
    }
    QByteArray settings() const { return dir.read(QStringLiteral("Setting.ini")); }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core;
};

TEST_F(ComDeviceTest, fileWithoutTheKeyIsNeitherChangedNorGivenTheKey)
{
    dir.write(QStringLiteral("Setting.ini"), kThreeKeys);
    core.LoadLanguage();
    core.LoadComSettings();
    EXPECT_EQ(core.strComDevice, QString());
    core.SaveComSettings();
    EXPECT_EQ(settings(), kThreeKeys);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ComDeviceTest, keyIsReadAfterTheOthersAndWrittenBackWhenSet)
{
    dir.write(QStringLiteral("Setting.ini"), kThreeKeys + "Device=/dev/ttyUSB0\r\n");
    core.LoadComSettings();
    EXPECT_EQ(core.iComPort, 2);
    EXPECT_EQ(core.strComDevice, QStringLiteral("/dev/ttyUSB0"));

    core.strComDevice = QStringLiteral("/dev/serial/by-id/usb-sensor");
    core.SaveComSettings();
    core.strComDevice.clear();
    core.LoadComSettings();
    EXPECT_EQ(core.strComDevice, QStringLiteral("/dev/serial/by-id/usb-sensor"));
}

TEST_F(ComDeviceTest, clearedDeviceStaysClearedAfterARestart)
{
    dir.write(QStringLiteral("Setting.ini"), kThreeKeys + "Device=/dev/ttyUSB0\r\n");
    core.LoadComSettings();
    core.strComDevice.clear();
    core.SaveComSettings();
    EXPECT_EQ(settings(), kThreeKeys + "Device=\r\n");
    core.LoadComSettings();
    EXPECT_EQ(core.strComDevice, QString());
}

TEST_F(ComDeviceTest, firstStartWritesNoDeviceKey)
{
    core.LoadLanguage();
    core.LoadComSettings();
    EXPECT_FALSE(settings().contains("Device"));
}

TEST(SettingsOverride, chosenFileReplacesSettingIniForReadsAndWrites)
{
    TempAppDir dir;
    dir.addLanguageFiles();
    dir.write(QStringLiteral("other.ini"), kThreeKeys + "Device=/tmp/ptyA\r\n");
    AppPaths paths = dir.paths();
    paths.settingsOverride = dir.file(QStringLiteral("other.ini"));
    ScriptedPrompter prompter;
    AppCore core(paths, prompter);
    core.LoadLanguage();
    core.LoadComSettings();
    EXPECT_EQ(core.lngLanguage, LanguageEnglish);
    EXPECT_EQ(core.strComDevice, QStringLiteral("/tmp/ptyA"));
    core.SaveLanguage();
    EXPECT_TRUE(dir.read(QStringLiteral("Setting.ini")).isEmpty());
    EXPECT_EQ(paths.settingsFile(), dir.file(QStringLiteral("other.ini")));
    EXPECT_EQ(AppPaths::single(dir.path()).settingsFile(), dir.file(QStringLiteral("Setting.ini")));
}

} // namespace
