// The conversion pipeline from a raw image file to "tmp.bmp".

#include "ImageTestSupport.h"
#include "core/WorkFolders.h"
#include "image/ConvertProcess.h"

using namespace kel;
using namespace kel::test;

namespace {

class ConvertProcessTest : public ImageTest {
protected:
    // A raw image file of the given size in TMP, and CurrentImage's header set for it as the
    // acquisition flow does.
    void rawFile(int width, int height, qsizetype extra = 2)
    {
        raw = patternGrid(width, height);
        QByteArray bytes(reinterpret_cast<const char*>(raw.data()),
                         static_cast<qsizetype>(raw.size()));
        writeBytes(tmpFile(kTmpBin), bytes + QByteArray(extra, '\x01'));
        state.CurrentImage.Width = static_cast<qint16>(width);
        state.CurrentImage.Height = static_cast<qint16>(height);
        state.CurrentImage.BayerPhase = 1;
        state.CurrentImage.GainR = 30;
        state.CurrentImage.GainB = 60;
    }

    QString run(ImageKind kind)
    {
        return fncConvertProcess(core, state, kind, dir.paths().tmpDir(), kTmpBin);
    }

    ByteGrid raw;
};

TEST_F(ConvertProcessTest, missingRawFileShowsMessage12Once)
{
    EXPECT_EQ(run(ImageKind::Colour), QString());
    ASSERT_EQ(prompter.boxes.size(), 1);
    const QString entry = core.GetMessageText(kSectionMessage, MsgWorkFileMissing);
    ASSERT_TRUE(entry.contains(QLatin1Char('@')));
    EXPECT_EQ(prompter.boxes[0].text, entry.section(QLatin1Char('@'), 0, 0).trimmed());
    EXPECT_FALSE(QFile::exists(tmpFile(kTmpBmp)));
    EXPECT_TRUE(state.CurrentImage.Pixels.isEmpty());
}

TEST_F(ConvertProcessTest, colourRunFillsEveryStageAndWritesTheBitmap)
{
    rawFile(508, 432);
    const QString path = run(ImageKind::Colour);
    ASSERT_EQ(path, tmpFile(kTmpBmp));
    EXPECT_EQ(state.CurrentImage.Pixels, raw);
    EXPECT_EQ(state.BitmapWidth, 508);
    EXPECT_EQ(state.BitmapHeight, 432);
    EXPECT_EQ(state.UploadImage.Pixels.columns(), 508);
    EXPECT_EQ(state.UploadImage.Pixels.rows(), 432);
    EXPECT_NE(state.UploadImage.Pixels, raw); // the gains were applied
    EXPECT_EQ(state.BitmapPixels.columns(), 3 * 508);
    EXPECT_EQ(fileBytes(path).size(), 658422);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ConvertProcessTest, greyRunStillBuildsTheGainAppliedMosaic)
{
    rawFile(508, 216);
    const QString path = run(ImageKind::Grey);
    ASSERT_FALSE(path.isEmpty());
    const QByteArray first = fileBytes(path);
    EXPECT_EQ(first.size(), 1078 + 508 * 216);
    EXPECT_EQ(state.BitmapPixels.columns(), 508);
    EXPECT_EQ(state.UploadImage.Pixels.rows(), 216);

    ASSERT_EQ(run(ImageKind::Grey), path);
    EXPECT_EQ(fileBytes(path), first);
}

TEST_F(ConvertProcessTest, unreadableRawFileKeepsTheLastPictureWithoutAMessage)
{
    rawFile(508, 108);
    ASSERT_FALSE(run(ImageKind::Colour).isEmpty());
    const QByteArray picture = fileBytes(tmpFile(kTmpBmp));
    const ByteGrid pixels = state.BitmapPixels;

    rawFile(508, 216, 0);
    writeBytes(tmpFile(kTmpBin), QByteArray(508 * 215, '\x01')); // a row short
    EXPECT_EQ(run(ImageKind::Colour), QString());
    EXPECT_EQ(fileBytes(tmpFile(kTmpBmp)), picture);
    EXPECT_EQ(state.BitmapPixels, pixels);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ConvertProcessTest, bitmapThatCannotBeWrittenGivesNothing)
{
    rawFile(8, 6);
    QDir().mkpath(tmpFile(kTmpBmp)); // a folder where the bitmap belongs
    EXPECT_EQ(run(ImageKind::Colour), QString());
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

} // namespace
