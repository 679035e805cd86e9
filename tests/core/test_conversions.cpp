// Whole-number conversion of settings and replies, and message box style decoding.

#include "core/MessageBoxStyle.h"
#include "core/Prompter.h"
#include "core/VbConvert.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(WholeNumber, acceptsWhatOperatorsAndSensorsWrite)
{
    struct Case {
        const char* text;
        int expected;
    };
    for (const Case& c :
         {Case{"7", 7}, Case{"007", 7}, Case{" 12 ", 12}, Case{"-3", -3}, Case{"+5", 5},
          Case{"2.5", 2}, Case{"3.5", 4}, Case{"-0.5", 0}, Case{"255", 255}}) {
        EXPECT_EQ(toInt16(QLatin1String(c.text)), c.expected) << c.text;
    }
}

TEST(WholeNumber, refusesTextAndOutOfRangeWithTheirDescriptions)
{
    QString error;
    for (const char* text : {"", " ", "abc", "1a", "COM1", "0x10", "nan", "inf"}) {
        EXPECT_FALSE(toInt16(QLatin1String(text), &error)) << text;
        EXPECT_EQ(error, QLatin1String(kTypeMismatch)) << text;
    }
    EXPECT_FALSE(toInt16(QStringLiteral("32768"), &error));
    EXPECT_EQ(error, QLatin1String(kOverflow));
    EXPECT_TRUE(toInt16(QStringLiteral("-32768")));
    EXPECT_FALSE(toByte(QStringLiteral("256"), &error));
    EXPECT_EQ(error, QLatin1String(kOverflow));
    EXPECT_FALSE(toByte(QStringLiteral("-1")));
}

TEST(MessageBoxStyleDecoding, buttonSetsIconsAndDefaults)
{
    struct Case {
        int style;
        QList<int> buttons;
        MessageIcon icon;
        int defaultAnswer;
        int escapeAnswer;
    };
    const Case cases[] = {
        {0, {AnswerOk}, MessageIcon::None, AnswerOk, AnswerOk},
        {64, {AnswerOk}, MessageIcon::Information, AnswerOk, AnswerOk},
        {16, {AnswerOk}, MessageIcon::Critical, AnswerOk, AnswerOk},
        {1 + 32, {AnswerOk, AnswerCancel}, MessageIcon::Question, AnswerOk, AnswerCancel},
        {2 + 48 + 512,
         {AnswerAbort, AnswerRetry, AnswerIgnore},
         MessageIcon::Warning,
         AnswerIgnore,
         0},
        {3 + 256, {AnswerYes, AnswerNo, AnswerCancel}, MessageIcon::None, AnswerNo, AnswerCancel},
        {4 + 32 + 256, {AnswerYes, AnswerNo}, MessageIcon::Question, AnswerNo, 0},
        {5 + 16, {AnswerRetry, AnswerCancel}, MessageIcon::Critical, AnswerRetry, AnswerCancel},
        {0 + 512, {AnswerOk}, MessageIcon::None, AnswerOk, AnswerOk}, // default beyond the buttons
        {4096 + 4 + 64, {AnswerYes, AnswerNo}, MessageIcon::Information, AnswerYes, 0},
    };
    for (const Case& c : cases) {
        const MessageBoxLayout layout = decodeMessageBoxStyle(c.style);
        EXPECT_EQ(layout.buttons, c.buttons) << c.style;
        EXPECT_EQ(layout.icon, c.icon) << c.style;
        EXPECT_EQ(layout.defaultAnswer, c.defaultAnswer) << c.style;
        EXPECT_EQ(layout.escapeAnswer, c.escapeAnswer) << c.style;
    }
}

} // namespace
