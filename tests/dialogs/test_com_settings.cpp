// The communication settings dialog: what it shows for stored settings, what OK stores, and
// that Cancel stores nothing.

#include "core/AppCore.h"
#include "dialogs/ComSettingsText.h"
#include "dialogs/frmComSet.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::ScriptedPrompter;
using kel::test::TempAppDir;

namespace {

class ComSettingsTest : public ::testing::Test {
protected:
    ComSettingsTest()
    {
        dir.addLanguageFiles();
        core.endProcess = [](int) {};
    }

    // Loads the settings as at start and opens the dialog on them.
    std::unique_ptr<frmComSet> open(const char* com)
    {
        dir.write(QStringLiteral("Setting.ini"),
                  QByteArray("[OPERATION]\r\nLanguage=English\r\n") + com);
        core.LoadLanguage();
        core.LoadComSettings();
        auto dialog = std::make_unique<frmComSet>(core);
        dialog->Form_Load();
        return dialog;
    }

    static QStringList shown(const frmComSet& d)
    {
        QStringList texts;
        for (const QComboBox* list :
             {d.CmbCOM, d.CmbReate, d.CmbParity, d.CmbDatLen, d.CmbStpBit, d.CmbDeli})
            texts << (list->currentIndex() < 0 ? QStringLiteral("-") : list->currentText());
        return texts;
    }

    QByteArray settings() const { return dir.read(QStringLiteral("Setting.ini")); }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core{dir.paths(), prompter};
};

const char kDefaults[] = "[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n";

TEST_F(ComSettingsTest, showsTheStoredSettings)
{
    auto dialog = open(kDefaults);
    EXPECT_EQ(shown(*dialog), (QStringList{"1", "38400", "None", "8", "1", "CR"}));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Communication Settings"));
    EXPECT_EQ(dialog->lblItem[1]->text(), QStringLiteral("Baud rate"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ComSettingsTest, valuesTheListsCannotShowFallBack)
{
    struct Case {
        const char* com;
        QStringList expected;
    };
    const Case cases[] = {
        {"[COM]\r\nPort=16\r\nSetting=4800,M,5,1.5\r\nDelimitr=1\r\n",
         {"16", "38400", "Odd", "8", "2", "LF"}},
        {"[COM]\r\nPort=2\r\nSetting=115200,E,7,2\r\nDelimitr=2\r\n",
         {"2", "115200", "Even", "7", "2", "CR+LF"}},
        {"[COM]\r\nPort=3\r\nSetting=9600,n,8,3\r\nDelimitr=9\r\n",
         {"3", "9600", "Odd", "8", "2", "CR+LF"}},
    };
    for (const Case& c : cases) {
        auto dialog = open(c.com);
        EXPECT_EQ(shown(*dialog), c.expected) << c.com;
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ComSettingsTest, okWithoutChangesRewritesTheSameKeys)
{
    auto dialog = open(kDefaults);
    const QByteArray before = settings();
    dialog->cmdOK->click();
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(ComSettingsTest, okStoresTheListedFormOfAnUnlistedBaudRate)
{
    auto dialog = open("[COM]\r\nPort=1\r\nSetting=4800,N,8,1\r\nDelimitr=0\r\n");
    dialog->cmdOK->click();
    EXPECT_TRUE(settings().contains("Setting=38400,N,8,1\r\n"));
}

TEST_F(ComSettingsTest, okStoresTheChosenValues)
{
    auto dialog = open(kDefaults);
    dialog->CmbCOM->setCurrentIndex(3);
    dialog->CmbReate->setCurrentIndex(1);
    dialog->CmbParity->setCurrentIndex(2);
    dialog->CmbDatLen->setCurrentIndex(0);
    dialog->CmbStpBit->setCurrentIndex(1);
    dialog->CmbDeli->setCurrentIndex(2);
    dialog->cmdOK->click();
    EXPECT_EQ(core.iComPort, 4);
    EXPECT_EQ(core.strComSetting, QStringLiteral("19200,E,7,2"));
    EXPECT_EQ(core.strDelimiter, QStringLiteral("\r\n"));
    EXPECT_EQ(settings(), QByteArray("[OPERATION]\r\nLanguage=English\r\n"
                                     "[COM]\r\nPort=4\r\nSetting=19200,E,7,2\r\nDelimitr=2\r\n"));
}

TEST_F(ComSettingsTest, cancelLeavesTheFileByteForByte)
{
    auto dialog = open("[COM]\r\n; mine\r\nPort = 1\r\nSetting=4800,M,8,1\r\nDelimitr=7\r\n");
    const QByteArray before = settings();
    dialog->CmbCOM->setCurrentIndex(5);
    dialog->CmbReate->setCurrentIndex(0);
    dialog->cmdCancel->click();
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(core.iComPort, 1);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(ComSettingsTest, unshowableSettingsReportMessage99AndLeaveTheRestUnselected)
{
    struct Case {
        const char* com;
        QStringList expected;
    };
    const Case cases[] = {
        {"[COM]\r\nPort=17\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n",
         {"-", "-", "-", "-", "-", "-"}},
        {"[COM]\r\nPort=2\r\nSetting=38400,N\r\nDelimitr=0\r\n", {"2", "-", "-", "-", "-", "-"}},
        {"[COM]\r\nPort=2\r\nSetting=fast,N,8,1\r\nDelimitr=0\r\n", {"2", "-", "-", "-", "-", "-"}},
        {"[COM]\r\nPort=2\r\nSetting=9600,E,x,1\r\nDelimitr=0\r\n",
         {"2", "9600", "Even", "-", "-", "-"}},
        {"[COM]\r\nPort=2\r\nSetting=9600,E,8,1,extra\r\nDelimitr=0\r\n",
         {"2", "9600", "Even", "8", "-", "-"}},
    };
    for (const Case& c : cases) {
        const qsizetype boxes = prompter.boxes.size();
        auto dialog = open(c.com);
        EXPECT_EQ(shown(*dialog), c.expected) << c.com;
        ASSERT_EQ(prompter.boxes.size(), boxes + 1) << c.com;
        EXPECT_TRUE(prompter.boxes.last().text.contains(QStringLiteral("Setting.ini")));
    }
}

TEST_F(ComSettingsTest, okKeepsWhatAListWithoutAChoiceCouldNotShow)
{
    auto dialog = open("[COM]\r\nPort=17\r\nSetting=38400,N\r\nDelimitr=1\r\n");
    dialog->cmdOK->click();
    EXPECT_EQ(core.iComPort, 17);
    EXPECT_EQ(core.strComSetting, QStringLiteral("38400,N"));
    EXPECT_EQ(core.strDelimiter, QStringLiteral("\n"));

    dialog = open("[COM]\r\nPort=2\r\nSetting=9600,E,x,1\r\nDelimitr=0\r\n");
    dialog->CmbStpBit->setCurrentIndex(1);
    dialog->cmdOK->click();
    EXPECT_EQ(core.strComSetting, QStringLiteral("9600,E,x,2"));
}

TEST(ComSettingText, splitAndJoin)
{
    EXPECT_EQ(splitComSetting(QStringLiteral("38400,N,8,1")),
              (QStringList{"38400", "N", "8", "1"}));
    EXPECT_EQ(splitComSetting(QStringLiteral("1,2,3,4,5")), (QStringList{"1", "2", "3", "4,5"}));
    EXPECT_TRUE(splitComSetting(QStringLiteral("1,2")).isEmpty());
    EXPECT_EQ(joinComSetting(QStringLiteral("1,2"), {"", "", "", "9"}), QStringLiteral("1,2,,9"));
    EXPECT_EQ(joinComSetting(QStringLiteral("1,2"), {"", "", "", ""}), QStringLiteral("1,2"));
}

TEST_F(ComSettingsTest, aNetworkAddressIsShownCheckedBeforeOkAndStored)
{
    auto dialog = open("[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n"
                       "Device=tcp://[fe80::1]:4001\r\n");
    EXPECT_TRUE(dialog->chkNetwork->isChecked());
    EXPECT_EQ(dialog->CmbNetProtocol->currentText(), QStringLiteral("TCP"));
    EXPECT_EQ(dialog->txtHost->text(), QStringLiteral("fe80::1"));
    EXPECT_EQ(dialog->txtNetPort->text(), QStringLiteral("4001"));
    EXPECT_FALSE(dialog->CmbCOM->isEnabled());

    // Each wrong address is told with message 25 and keeps the dialog open, storing nothing.
    dialog->CmbNetProtocol->setCurrentIndex(0);
    for (const auto& [host, port] :
         {std::pair{"", "4001"}, std::pair{"plant a", "4001"}, std::pair{"plant-a", "0"},
          std::pair{"plant-a", "65536"}, std::pair{"plant-a", "x"}}) {
        prompter.boxes.clear();
        dialog->txtHost->setText(QLatin1String(host));
        dialog->txtNetPort->setText(QLatin1String(port));
        dialog->cmdOK->click();
        ASSERT_EQ(prompter.boxes.size(), 1) << host << ":" << port;
        EXPECT_TRUE(prompter.boxes[0].text.startsWith("The network address is not valid."));
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
    }
    EXPECT_TRUE(settings().contains("Device=tcp://[fe80::1]:4001"));

    dialog->txtHost->setText(QStringLiteral(" plant-a.example "));
    dialog->txtNetPort->setText(QStringLiteral("4001"));
    dialog->cmdOK->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(core.strComDevice, QStringLiteral("rfc2217://plant-a.example:4001"));
    EXPECT_TRUE(settings().contains("Device=rfc2217://plant-a.example:4001"));

    // Back to a serial port: the address goes.
    auto serial = open("[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n"
                       "Device=rfc2217://plant-a.example:4001\r\n");
    serial->chkNetwork->setChecked(false);
    serial->cmdOK->click();
    EXPECT_FALSE(core.strComDevice.startsWith("rfc2217"));
}

#ifndef Q_OS_WIN
TEST_F(ComSettingsTest, devicePathIsShownAndTyped)
{
    auto dialog = open(kDefaults);
    EXPECT_TRUE(dialog->CmbDevice->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->CmbDevice->currentText(), QString());
    dialog->CmbDevice->setEditText(QStringLiteral("  /dev/ttyUSB0 "));
    dialog->cmdOK->click();
    EXPECT_EQ(core.strComDevice, QStringLiteral("/dev/ttyUSB0"));
}
#endif

} // namespace
