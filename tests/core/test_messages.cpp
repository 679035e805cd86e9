// Numbered messages: text lookup, the box idiom and the shipped message files.

#include "core/AppCore.h"
#include "core/MessageBoxStyle.h"
#include "core/ShownReply.h"
#include "core/StatusWords.h"
#include "core/VbConvert.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::ScriptedPrompter;
using kel::test::TempAppDir;

namespace {

class MessagesTest : public ::testing::Test {
protected:
    MessagesTest() : core(dir.paths(), prompter)
    {
        core.endProcess = [](int) {};
    }

    void messages(const char* text)
    {
        dir.write(QStringLiteral("MessageJPN.ini"), QByteArray(text));
    }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core;
};

TEST_F(MessagesTest, textExpandsLineBreaksAndDropsTabs)
{
    messages("[Label]\r\n4 = \tfirst\\nsecond\t@ 64\r\n");
    EXPECT_EQ(core.GetMessageText(kSectionLabel, 4), QStringLiteral("first\r\nsecond@ 64"));
    EXPECT_EQ(core.GetMessageText(kSectionLabel, 5), QString());
    EXPECT_EQ(core.GetMessageText(kSectionMessage, 4), QString());
}

TEST_F(MessagesTest, boxShowsTrimmedTextWithStyleAndTitle)
{
    messages("[Message]\r\n1 =   Done.   @  64 \r\n");
    prompter.answers = {AnswerOk};
    ASSERT_TRUE(core.ShowMessage(kSectionMessage, 1));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Done."));
    EXPECT_EQ(prompter.boxes[0].style, 64);
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Lumexa KEL TOOL"));
    EXPECT_EQ(core.iMsgAnswer, AnswerOk);
    EXPECT_EQ(core.vntMessage.size(), 2);
}

TEST_F(MessagesTest, answerOfAQuestionIsKept)
{
    messages("[Question]\r\n1 = Go on? @ 36\r\n");
    prompter.answers = {AnswerNo};
    ASSERT_TRUE(core.ShowMessage(kSectionQuestion, 1));
    EXPECT_EQ(core.iMsgAnswer, AnswerNo);
}

TEST_F(MessagesTest, entriesWithoutAStyleShowNothingSayWhyAndCountAsNo)
{
    messages("[Message]\r\n2 = No style here\r\n3 = Bad @ style\r\n");
    for (int number : {1, 2, 3}) {
        core.iMsgAnswer = AnswerOk; // the answer to an earlier box
        QString failure;
        EXPECT_FALSE(core.ShowMessage(kSectionMessage, number, &failure)) << number;
        EXPECT_FALSE(failure.isEmpty());
        EXPECT_EQ(core.iMsgAnswer, AnswerNo) << number;
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());

    core.ShowMessageOrFailure(kSectionMessage, 2);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].style, 16);
}

TEST_F(MessagesTest, missingMessageFileShowsNothing)
{
    QString failure;
    EXPECT_FALSE(core.ShowMessage(kSectionMessage, 1, &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("MessageJPN.ini")));
}

TEST_F(MessagesTest, languageChoosesTheFilePair)
{
    dir.write(QStringLiteral("MessageJPN.ini"), "[Label]\r\n6=jp\r\n");
    dir.write(QStringLiteral("MessageENG.ini"), "[Label]\r\n6=en\r\n");
    EXPECT_EQ(core.GetMessageText(kSectionLabel, 6), QStringLiteral("jp"));
    core.lngLanguage = LanguageEnglish;
    EXPECT_EQ(core.GetMessageText(kSectionLabel, 6), QStringLiteral("en"));
    EXPECT_TRUE(core.labelFile().endsWith(QStringLiteral("/LabelENG.ini")));
}

TEST_F(MessagesTest, shiftJisMessageFileIsRead)
{
    // "画像を取得します。@36" in the Japanese ANSI code page.
    dir.write(QStringLiteral("MessageJPN.ini"),
              QByteArray("[Question]\r\n1=") +
                  QByteArray::fromHex("89e6919c82f08ee693be82b582dc82b78142") + "@36\r\n");
    ASSERT_TRUE(core.ShowMessage(kSectionQuestion, 1));
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("画像を取得します。"));
}

// Every text of section "Status" the program words its status line from.
const QList<int> kStatusNumbers = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 20, 21, 30,
                                   31, 32, 33, 34, 35, 40, 41, 42, 43, 44, 50, 51, 52, 60, 61, 62,
                                   70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85};

// The shipped files must hold every number the program shows, each with a usable style.
class ShippedMessagesTest : public ::testing::TestWithParam<qint32> {};

TEST_P(ShippedMessagesTest, everyNumberIsPresentAndUsable)
{
    TempAppDir dir;
    dir.addLanguageFiles();
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    core.lngLanguage = GetParam();

    for (int number : {1, 12, 13, 14, 21, 22, 23, 24, 40, 41, 42, 43, 44, 45, 50, 99}) {
        EXPECT_TRUE(core.ShowMessage(kSectionMessage, number)) << "Message " << number;
        EXPECT_EQ(decodeMessageBoxStyle(prompter.boxes.last().style).buttons, QList<int>{AnswerOk})
            << "Message " << number;
    }
    for (int number : {1, 2, 3, 4, 5, 6}) {
        EXPECT_TRUE(core.ShowMessage(kSectionQuestion, number)) << "Question " << number;
        EXPECT_TRUE(
            decodeMessageBoxStyle(prompter.boxes.last().style).buttons.contains(AnswerYes) ||
            decodeMessageBoxStyle(prompter.boxes.last().style).buttons.contains(AnswerOk));
    }
    for (int number : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 51, 52, 53, 54, 68}) {
        const QString text = core.GetMessageText(kSectionLabel, number);
        EXPECT_FALSE(text.trimmed().isEmpty()) << "Label " << number;
        EXPECT_FALSE(text.contains(QLatin1Char('@'))) << "Label " << number;
    }
    for (int number : kStatusNumbers) {
        const QString text = statusText(core, number);
        EXPECT_FALSE(text.isEmpty()) << "Status " << number;
        EXPECT_FALSE(text.contains(QLatin1Char('@'))) << "Status " << number;
    }
}

// The numbered entries of a shipped message file by section; a section named twice is listed
// under its name with a trailing "#" so that the test can tell.
QMap<QString, QMap<int, QString>> shippedSections(const char* file)
{
    QMap<QString, QMap<int, QString>> sections;
    QString section;
    static const QRegularExpression header(QStringLiteral("^\\[(\\w+)\\]"));
    static const QRegularExpression entry(QStringLiteral("^(\\d+)\\s*=\\s*(.*)$"));
    for (const QString& line :
         QString::fromUtf8(kel::test::shippedLanguageFile(QLatin1String(file))).split('\n')) {
        const QString trimmed = line.trimmed();
        if (const QRegularExpressionMatch m = header.match(trimmed); m.hasMatch()) {
            section = m.captured(1);
            while (sections.contains(section))
                section += QLatin1Char('#');
            sections[section];
        } else if (const QRegularExpressionMatch e = entry.match(trimmed); e.hasMatch()) {
            sections[section][e.captured(1).toInt()] = e.captured(2);
        }
    }
    return sections;
}

QSet<QString> placeholders(const QString& text)
{
    QSet<QString> found;
    static const QRegularExpression marker(QStringLiteral("%[1-9]"));
    for (const QRegularExpressionMatch& m : marker.globalMatch(text))
        found.insert(m.captured());
    return found;
}

QString styleOf(const QString& text)
{
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QString() : text.mid(at + 1).trimmed();
}

// Only the first section of a name is read, so a second one hides its texts; a number, a %n or
// a box style that only one language has shows a text, a file or a button in one window only.
TEST(ShippedMessageFiles, bothLanguagesHoldTheSameEntriesPlaceholdersAndStyles)
{
    const auto english = shippedSections("MessageENG.ini");
    const auto japanese = shippedSections("MessageJPN.ini");
    EXPECT_EQ(english.keys(), japanese.keys());
    for (const QString& section : english.keys()) {
        EXPECT_FALSE(section.endsWith(QLatin1Char('#'))) << section.toStdString();
        const QMap<int, QString>& en = english[section];
        const QMap<int, QString> ja = japanese.value(section);
        EXPECT_EQ(en.keys(), ja.keys()) << section.toStdString();
        for (auto it = en.cbegin(); it != en.cend(); ++it) {
            const std::string where = section.toStdString() + " " + std::to_string(it.key());
            EXPECT_EQ(placeholders(it.value()), placeholders(ja.value(it.key()))) << where;
            EXPECT_EQ(styleOf(it.value()), styleOf(ja.value(it.key()))) << where;
        }
    }
}

// What the line brought is shown so that it cannot work on the terminal or the box: bytes that
// are not printable escaped, a long reply cut and its length told in the window's language.
TEST(ShownReply, unprintableBytesAreEscapedAndALongReplyIsCutWithItsLength)
{
    const struct {
        QString reply;
        QString shown;
    } cases[] = {
        {QStringLiteral("OK 12.5"), QStringLiteral("OK 12.5")},
        {QString::fromLatin1("\x1B[2J\r\n\t\x7F\xFF\0", 10),
         QStringLiteral("\\x1B[2J\\r\\n\\t\\x7F\\xFF\\x00")},
        {QStringLiteral("a\\b"), QStringLiteral("a\\\\b")},
        {QString(kShownReplyLength, QLatin1Char('x')),
         QString(kShownReplyLength, QLatin1Char('x'))},
        {QString(942, QLatin1Char('x')),
         QString(kShownReplyLength, QLatin1Char('x')) + QStringLiteral(" … (942 bytes)")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(escapedReply(c.reply, QStringLiteral("… (%1 bytes)")), c.shown)
            << c.reply.toStdString();

    TempAppDir dir;
    dir.addLanguageFiles();
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    core.lngLanguage = LanguageJapanese;
    EXPECT_TRUE(shownReply(core, QString(100, QLatin1Char('\x01')))
                    .endsWith(QStringLiteral("… (100 バイト)")));
    core.lngLanguage = LanguageEnglish;
    EXPECT_TRUE(shownReply(core, QString(100, QLatin1Char('\x01')))
                    .endsWith(QStringLiteral("… (100 bytes)")));
}

TEST(StatusWords, argumentsAreFilledInOnePass)
{
    const struct {
        const char* text;
        QStringList arguments;
        const char* expected;
    } cases[] = {
        {"Bank %1 backed up to %2", {"3", "BANK/b.BNK"}, "Bank 3 backed up to BANK/b.BNK"},
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"Saved %1", {"BANK/100%2 of %1.BNK", "x"}, "Saved BANK/100%2 of %1.BNK"},
        {"%1 and %3 stay 100%", {"one"}, "one and %3 stay 100%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filledIn(QString::fromUtf8(c.text), c.arguments), QString::fromUtf8(c.expected))
            << c.text;
}

TEST(StatusWords, numbersFollowTheLanguageAndFilesAreNamedFromTheApplicationFolder)
{
    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    for (Language language : {LanguageJapanese, LanguageEnglish}) {
        core.lngLanguage = language;
        EXPECT_EQ(byteCount(core, 1024), QStringLiteral("1,024"));
        EXPECT_EQ(byteCount(core, 219456), QStringLiteral("219,456"));
        EXPECT_EQ(secondsOf(core, 400), QStringLiteral("0.4"));
        EXPECT_EQ(secondsOf(core, 61249), QStringLiteral("61.2"));
    }
    EXPECT_EQ(shownPath(core.paths(), dir.file(QStringLiteral("BANK/bank3.BNK"))),
              QDir::toNativeSeparators(QStringLiteral("BANK/bank3.BNK")));
    const QString outside = QDir::cleanPath(dir.path() + QStringLiteral("/../elsewhere/s.STD"));
    EXPECT_EQ(shownPath(core.paths(), outside), QDir::toNativeSeparators(outside));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShippedMessagesTest,
                         ::testing::Values(LanguageJapanese, LanguageEnglish));

} // namespace
