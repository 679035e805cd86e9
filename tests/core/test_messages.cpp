// Numbered messages: text lookup, the box idiom and the shipped message files.

#include "core/AppCore.h"
#include "core/MessageBoxStyle.h"
#include "core/VbConvert.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

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
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShippedMessagesTest,
                         ::testing::Values(LanguageJapanese, LanguageEnglish));

} // namespace
