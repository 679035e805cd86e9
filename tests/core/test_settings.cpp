// Settings file: first start, language choice, communication keys and their failures.

#include "core/AppCore.h"
#include "core/Delimiter.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::ScriptedPrompter;
using kel::test::TempAppDir;

namespace {

constexpr int kJapaneseId = 1041;
constexpr int kGermanId = 1031;

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : core(dir.paths(), prompter)
    {
        dir.addLanguageFiles();
        core.userDefaultLangId = [this] { return userLangId; };
        core.endProcess = [this](int status) { endedWith = status; };
    }

    void writeSettings(const char* text)
    {
        dir.write(QStringLiteral("Setting.ini"), QByteArray(text));
    }
    QByteArray settings() const { return dir.read(QStringLiteral("Setting.ini")); }
    void start()
    {
        core.LoadLanguage();
        core.LoadComSettings();
    }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core;
    int userLangId = kGermanId;
    int endedWith = -1;
};

TEST_F(SettingsTest, firstStartWritesTheDefaultsInOrder)
{
    start();
    EXPECT_EQ(settings(), QByteArray("[OPERATION]\r\nLanguage=Japanese\r\n"
                                     "[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n"));
    EXPECT_EQ(core.lngLanguage, LanguageJapanese);
    EXPECT_EQ(core.iComPort, 1);
    EXPECT_EQ(core.strComSetting, QStringLiteral("38400,N,8,1"));
    EXPECT_EQ(core.strDelimiter, QStringLiteral("\r"));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    core.SaveLanguage(); // shutdown writes the same value again
    EXPECT_EQ(settings(), QByteArray("[OPERATION]\r\nLanguage=Japanese\r\n"
                                     "[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n"));
}

TEST_F(SettingsTest, languageValuesAreComparedWithoutCase)
{
    struct Case {
        const char* file;
        qint32 expected;
    };
    for (const Case& c : {Case{"[OPERATION]\r\nLanguage=ENGLISH\r\n", LanguageEnglish},
                          Case{"[operation]\r\nlanguage = english\r\n", LanguageEnglish},
                          Case{"[OPERATION]\r\nLanguage=\"Japanese\"\r\n", LanguageJapanese},
                          Case{"[OPERATION]\r\nLanguage=jApAnEsE\r\n", LanguageJapanese}}) {
        writeSettings(c.file);
        core.lngLanguage = -1;
        core.LoadLanguage();
        EXPECT_EQ(core.lngLanguage, c.expected) << c.file;
    }
}

TEST_F(SettingsTest, unknownLanguageFollowsTheUserLanguageAndIsReplacedAtShutdown)
{
    writeSettings("[OPERATION]\r\nLanguage=German\r\n");
    userLangId = kJapaneseId;
    core.LoadLanguage();
    EXPECT_EQ(core.lngLanguage, LanguageJapanese);
    EXPECT_TRUE(settings().contains("Language=German")); // stays until shutdown

    userLangId = kGermanId;
    core.LoadLanguage();
    EXPECT_EQ(core.lngLanguage, LanguageEnglish);

    core.SaveLanguage();
    EXPECT_EQ(settings(), QByteArray("[OPERATION]\r\nLanguage=English\r\n"));
}

TEST_F(SettingsTest, emptyLanguageKeyIsTreatedAsMissing)
{
    writeSettings("[OPERATION]\r\nLanguage=\r\n");
    userLangId = kGermanId; // must not be consulted
    core.LoadLanguage();
    EXPECT_EQ(core.lngLanguage, LanguageJapanese);
    EXPECT_EQ(settings(), QByteArray("[OPERATION]\r\nLanguage=Japanese\r\n"));
}

TEST_F(SettingsTest, delimiterCodes)
{
    struct Case {
        const char* code;
        const char* delimiter;
    };
    for (const Case& c : {Case{"0", "\r"}, Case{"1", "\n"}, Case{"2", "\r\n"}, Case{"7", "\r\n"},
                          Case{"x", "\r\n"}}) {
        writeSettings(QByteArray("[COM]\r\nPort=3\r\nSetting=9600,E,7,2\r\nDelimitr=")
                          .append(c.code)
                          .append("\r\n")
                          .constData());
        core.LoadComSettings();
        EXPECT_EQ(core.strDelimiter, QLatin1String(c.delimiter)) << c.code;
        EXPECT_EQ(core.iComPort, 3);
        EXPECT_EQ(core.strComSetting, QStringLiteral("9600,E,7,2"));
    }
}

TEST_F(SettingsTest, savingWritesTheDelimiterAsItsCode)
{
    writeSettings("[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=7\r\n");
    core.LoadComSettings();
    core.iComPort = 12;
    core.SaveComSettings();
    EXPECT_EQ(settings(), QByteArray("[COM]\r\nPort=12\r\nSetting=38400,N,8,1\r\nDelimitr=2\r\n"));

    core.strDelimiter = QStringLiteral("\n");
    core.SaveComSettings();
    EXPECT_TRUE(settings().endsWith("Delimitr=1\r\n"));
}

TEST_F(SettingsTest, savingKeepsCommentsAndOtherKeys)
{
    writeSettings("; tool settings\r\n[COM]\r\n; line to the sensor\r\nPort=2\r\nBaud=old\r\n"
                  "Setting=38400,N,8,1\r\nDelimitr=0\r\n\r\n[OPERATION]\r\nLanguage=English\r\n");
    core.LoadComSettings();
    core.strComSetting = QStringLiteral("19200,E,8,1");
    core.SaveComSettings();
    EXPECT_EQ(settings(),
              QByteArray("; tool settings\r\n[COM]\r\n; line to the sensor\r\nPort=2\r\n"
                         "Baud=old\r\nSetting=19200,E,8,1\r\nDelimitr=0\r\n\r\n"
                         "[OPERATION]\r\nLanguage=English\r\n"));
}

TEST_F(SettingsTest, portThatIsNoNumberShowsMessage99AndStopsReading)
{
    writeSettings("[OPERATION]\r\nLanguage=English\r\n[COM]\r\nPort=COM3\r\n");
    start();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral("Setting.ini")));
    EXPECT_EQ(prompter.boxes[0].title, kAppTitle);
    EXPECT_EQ(core.strDelimiter, QString()); // never read in this start
    EXPECT_EQ(core.strComSetting, QString());
    EXPECT_FALSE(settings().contains("Setting=")); // and no defaults written for them
    EXPECT_EQ(endedWith, -1);
}

TEST_F(SettingsTest, portOutOfRangeIsAnErrorButRoundingIsNot)
{
    writeSettings("[COM]\r\nPort=40000\r\n");
    core.LoadComSettings();
    EXPECT_EQ(prompter.boxes.size(), 1);

    writeSettings("[COM]\r\nPort= 04 \r\n");
    core.LoadComSettings();
    EXPECT_EQ(core.iComPort, 4);
    EXPECT_EQ(prompter.boxes.size(), 1);
}

TEST_F(SettingsTest, message99ThatCannotBeShownEndsTheProcessAfterAPlainBox)
{
    QFile::remove(dir.file(QStringLiteral("MessageENG.ini")));
    writeSettings("[OPERATION]\r\nLanguage=English\r\n[COM]\r\nPort=abc\r\n");
    start();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 0);
    EXPECT_FALSE(prompter.boxes[0].text.isEmpty());
    EXPECT_EQ(endedWith, kExitSettingsUnusable);
}

TEST_F(SettingsTest, unreadableSettingsFileIsReportedOnceAndNotOverwritten)
{
    // A folder in the place of the file cannot be read as a file, even by root.
    QDir(dir.path()).mkdir(QStringLiteral("Setting.ini"));
    core.lngLanguage = LanguageEnglish;
    start();
    ASSERT_EQ(prompter.boxes.size(), 2); // once for the language, once for the port
    EXPECT_EQ(core.lngLanguage, LanguageEnglish);
    EXPECT_EQ(core.iComPort, 0);
}

TEST_F(SettingsTest, failedWriteIsReported)
{
    TempAppDir other;
    AppCore lost(AppPaths::single(other.path() + QStringLiteral("/no/such/folder")), prompter);
    lost.endProcess = [](int) {};
    lost.SaveLanguage();
    EXPECT_EQ(prompter.boxes.size(), 1);
}

TEST_F(SettingsTest, longValueIsAReadFailure)
{
    writeSettings(QByteArray("[COM]\r\nPort=1\r\nSetting=")
                      .append(QByteArray(999, '9'))
                      .append("\r\n")
                      .constData());
    core.LoadComSettings();
    EXPECT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(core.strComSetting, QString());

    writeSettings(QByteArray("[COM]\r\nPort=1\r\nSetting=")
                      .append(QByteArray(998, '9'))
                      .append("\r\n")
                      .constData());
    core.LoadComSettings();
    EXPECT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(core.strComSetting.size(), 998);
}

} // namespace

TEST(Delimiters, codeCharactersAndNameNameTheSameDelimiter)
{
    struct Case {
        Delimiter delimiter;
        const char *code, *characters, *name;
    };
    for (const Case& c :
         {Case{Delimiter::Cr, "0", "\r", "cr"}, Case{Delimiter::Lf, "1", "\n", "Lf"},
          Case{Delimiter::CrLf, "2", "\r\n", "CR LF"}}) {
        EXPECT_EQ(delimiterOfCode(QLatin1String(c.code)), c.delimiter) << c.code;
        EXPECT_EQ(codeOf(c.delimiter), QLatin1String(c.code));
        EXPECT_EQ(delimiterOfCharacters(QLatin1String(c.characters)), c.delimiter) << c.code;
        EXPECT_EQ(charactersOf(c.delimiter), QLatin1String(c.characters));
        EXPECT_EQ(delimiterOfName(QLatin1String(c.name)), c.delimiter) << c.name;
        EXPECT_EQ(delimiterOfName(QLatin1String(c.code)), c.delimiter) << c.code;
    }
    EXPECT_EQ(delimiterOfCode(QStringLiteral("7")), Delimiter::CrLf) << "as files were always read";
    EXPECT_EQ(delimiterOfCharacters(QStringLiteral("\n\r")), std::nullopt);
    EXPECT_EQ(delimiterOfName(QStringLiteral("crlf")), Delimiter::CrLf);
    EXPECT_EQ(delimiterOfName(QStringLiteral("tab")), std::nullopt);
}
