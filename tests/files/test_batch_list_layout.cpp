// The batch dialog's geometry and the scroll bars of its file list.

#include "files/BatchListLayout.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

QStringList names(int count, const QString& name = QStringLiteral("A.KEL"))
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << name;
    return list;
}

TEST(BatchListLayout, verticalBarAppearsOnlyWhenTheLastIndexIsBeyondTheLinesThatFit)
{
    struct Case {
        int count;
        double height;
        ScrollBarState bar;
    };
    const Case cases[] = {
        {15, 2160, {true, 4}},  // 14 - 10.29 = 3.71
        {11, 2160, {false, 0}}, // the last index 10 is below 10.29, though line 11 is cut
        {12, 2160, {true, 1}},  // 0.71
        {1, 2160, {false, 0}},  {0, 2160, {false, 0}},
        {6, 525, {true, 2}}, // 5 - 2.5: the half goes to the even 2
        {7, 525, {true, 4}}, // 6 - 2.5: the half goes to the even 4
    };
    for (const Case& c : cases)
        EXPECT_EQ(verticalBar(c.height, c.count), c.bar) << c.count << " in " << c.height;
}

TEST(BatchListLayout, horizontalBarMeasuresBytesOfTheLongestName)
{
    const QString fifty(50, QLatin1Char('n'));
    struct Case {
        QStringList names;
        ScrollBarState bar;
    };
    const Case cases[] = {
        {{fifty}, {true, 5}},                          // 50 - 44.84
        {{QString(44, QLatin1Char('n'))}, {false, 0}}, // fits
        {{QString(45, QLatin1Char('n'))}, {true, 0}},  // 0.16 over: shown, nothing to move
        {{QString(25, QChar(0x3042))}, {true, 5}},     // 25 double-byte characters
        {{QString(50, QChar(0xFF71))}, {true, 5}},     // half-width katakana: one byte each
        {{fifty, QString(60, QLatin1Char('n')), fifty}, {true, 15}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(horizontalBar(4080, c.names), c.bar) << c.names.first().size();
}

TEST(BatchListLayout, namesAreCountedInTheJapaneseCodePage)
{
    EXPECT_EQ(ansiByteLength(QStringLiteral("abc.KEL")), 7);
    EXPECT_EQ(ansiByteLength(QStringLiteral("画像あ.KEL")), 10);
    EXPECT_EQ(ansiByteLength(QStringLiteral("ｶﾞｿﾞｳ")), 5);
}

TEST(BatchListLayout, smallestSizeGivesTheDesignAndSmallerSizesSnapBack)
{
    const BatchDialogLayout design;
    for (const auto& [w, h] : {std::pair{5415, 4470}, {100, 100}, {5000, 9000}}) {
        const BatchDialogLayout layout = layoutBatchDialog(w, h, names(3));
        EXPECT_EQ(layout.width, 5415);
        if (h == 9000)
            continue;
        EXPECT_EQ(layout.height, 4470);
        EXPECT_EQ(layout.ConvFrame, design.ConvFrame);
        EXPECT_EQ(layout.FileBox, design.FileBox);
        EXPECT_EQ(layout.TateScr, design.TateScr);
        EXPECT_EQ(layout.YokoScr, design.YokoScr);
        EXPECT_EQ(layout.cmdOK, (TwipsRect{727.5, 3480, 1215, 375}));
        EXPECT_EQ(layout.cmdAuto, (TwipsRect{2047.5, 3480, 1215, 375}));
        EXPECT_EQ(layout.cmdCancel, (TwipsRect{3367.5, 3480, 1215, 375}));
    }
}

TEST(BatchListLayout, largerDialogGrowsTheListAndMovesBarsAndButtons)
{
    const BatchDialogLayout layout = layoutBatchDialog(7415, 5520, names(15));
    EXPECT_EQ(layout.ConvFrame, (TwipsRect{240, 240, 6815, 4065}));
    EXPECT_EQ(layout.FileBox, (TwipsRect{360, 480, 6080, 3210}));
    EXPECT_EQ(layout.TateScr, (TwipsRect{6425, 480, 255, 3210}));
    EXPECT_EQ(layout.YokoScr, (TwipsRect{360, 3690, 6080, 255}));
    EXPECT_EQ(layout.cmdAuto, (TwipsRect{3047.5, 4530, 1215, 375}));
    EXPECT_EQ(layout.cmdOK.left, 1727.5);
    EXPECT_EQ(layout.cmdCancel.left, 4367.5);
    EXPECT_EQ(layout.tate, (ScrollBarState{false, 0})); // 3210 / 210 = 15.3 lines fit
}

TEST(BatchListLayout, listTextStartsAtTheFirstIndexAndCutsWholeCharacters)
{
    const QStringList list{"A.KEL", "あいう.KEL", QString::fromUcs4(U"\U0001F600x.KEL")};
    EXPECT_EQ(batchListText(list, 0, 0), "A.KEL\nあいう.KEL\n" + list[2] + "\n");
    EXPECT_EQ(batchListText(list, 1, 2), QStringLiteral("う.KEL\n.KEL\n"));
    EXPECT_EQ(batchListText(list, 2, 1), QStringLiteral("x.KEL\n"));
    EXPECT_EQ(batchListText(list, 0, 10), QStringLiteral("\n\n\n"));
}

} // namespace
