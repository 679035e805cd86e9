// Numbered messages: text lookup, the box idiom and the shipped message files.

#include "core/AppCore.h"
#include "core/MessageBoxStyle.h"
#include "core/StatusWords.h"
#include "core/VbConvert.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QDir>
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
                                   70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84};

// The shipped files must hold every number the program shows, each with a usable style.
class ShippedMessagesTest : public ::testing::TestWithParam<qint32> {};

TEST_P(ShippedMessagesTest, everyNumberIsPresentAndUsable)
{
    TempAppDir dir;
    dir.addLanguageFiles();
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    core.lngLanguage = GetParam();

    for (int number : {1, 12, 13, 14, 21, 22, 23, 24, 99}) {
        EXPECT_TRUE(core.ShowMessage(kSectionMessage, number)) << "Message " << number;
        EXPECT_EQ(decodeMessageBoxStyle(prompter.boxes.last().style).buttons, QList<int>{AnswerOk})
            << "Message " << number;
    }
    for (int number : {1, 2, 3}) {
        EXPECT_TRUE(core.ShowMessage(kSectionQuestion, number)) << "Question " << number;
        EXPECT_TRUE(
            decodeMessageBoxStyle(prompter.boxes.last().style).buttons.contains(AnswerYes) ||
            decodeMessageBoxStyle(prompter.boxes.last().style).buttons.contains(AnswerOk));
    }
    for (int number : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 51, 52, 53, 54}) {
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

// A text that names a %n the other language lacks would drop or misplace a file or a number.
TEST(ShippedStatusTexts, bothLanguagesFillTheSamePlaceholders)
{
    TempAppDir dir;
    dir.addLanguageFiles();
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    const auto markers = [&core](int number) {
        QSet<QString> found;
        static const QRegularExpression marker(QStringLiteral("%[1-9]"));
        for (const QRegularExpressionMatch& m : marker.globalMatch(statusText(core, number)))
            found.insert(m.captured());
        return found;
    };
    for (int number : kStatusNumbers) {
        core.lngLanguage = LanguageJapanese;
        const QSet<QString> japanese = markers(number);
        core.lngLanguage = LanguageEnglish;
        EXPECT_EQ(japanese, markers(number)) << "Status " << number;
    }
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
