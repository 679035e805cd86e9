// Looking into the picture in the window: zoom limits, the readout under the pointer, the
// figures of a dragged rectangle, a dropped file and the recent files of an earlier run.

#include "FilesTestSupport.h"
#include "app/HistogramPanel.h"
#include "ui/PictureCanvas.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

using namespace kel;
using namespace kel::test;

namespace {

class PictureViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.addLanguageFiles();
        dir.write(QStringLiteral("Setting.ini"), "[OPERATION]\r\nLanguage=English\r\n");
        core.endProcess = [](int) {};
        window = std::make_unique<frmMain>(core);
        window->endProcess = [] {};
        window->Form_Load();
        window->resize(1200, 800);
        window->show();
        kel = dir.file(QStringLiteral("IMAGE/a.KEL"));
        writeAll(kel, kelFile(508, 432, 1)); // raw value at (x, y): 7x + 3y + 11
    }

    void open(const QString& file)
    {
        prompter.dialogAnswers = {chose({file})};
        if (file.endsWith(QLatin1String(".KEL")))
            window->mnuBinLoad_Click();
        else
            window->mnuBmpLoad_Click();
    }

    PictureCanvas& canvas() { return *window->picCnvBmp; }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core{dir.paths(), prompter};
    std::unique_ptr<frmMain> window;
    QString kel;
};

TEST_F(PictureViewTest, zoomStepsStopAtTheirLimitsAndCtrl0IsActualSize)
{
    open(kel);
    EXPECT_DOUBLE_EQ(canvas().zoom(), 1.0) << "a new picture starts at 1:1";
    for (int i = 0; i < 20; ++i)
        window->mnuZoomIn->trigger();
    EXPECT_DOUBLE_EQ(canvas().zoom(), PictureCanvas::kMaxZoom);
    for (int i = 0; i < 20; ++i)
        window->mnuZoomOut->trigger();
    EXPECT_DOUBLE_EQ(canvas().zoom(), PictureCanvas::kMinZoom);
    QTest::keyClick(&canvas(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(canvas().zoom(), 1.0);
    EXPECT_EQ(window->status().zoom->text(), QStringLiteral("100 %"));
}

TEST_F(PictureViewTest, theReadoutAt400PercentNamesThePixelItsRawValueAndColours)
{
    open(kel);
    canvas().setZoom(4.0);
    canvas().horizontalScrollBar()->setValue(0);
    canvas().verticalScrollBar()->setValue(0);
    // The middle of picture pixel (10, 5) on the screen.
    QTest::mouseMove(canvas().viewport(), QPoint(10 * 4 + 2, 5 * 4 + 2));
    const QString text = window->status().readout->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("x 10, y 5   raw 96 ("))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("R "))) << text.toStdString();

    // An opened bitmap has no raw values of its own.
    const QString bitmap = dir.file(QStringLiteral("IMAGE/b.bmp"));
    writeAll(bitmap, bitmapFile(508, 432, 24));
    open(bitmap);
    canvas().setZoom(4.0);
    canvas().horizontalScrollBar()->setValue(0);
    canvas().verticalScrollBar()->setValue(0);
    QTest::mouseMove(canvas().viewport(), QPoint(3 * 4 + 1, 2 * 4 + 1));
    EXPECT_TRUE(window->status().readout->text().startsWith(QStringLiteral("x 3, y 2   R ")))
        << window->status().readout->text().toStdString();
}

TEST_F(PictureViewTest, aRectangleDraggedWithShiftChangesTheFigures)
{
    open(kel);
    const QString whole = window->picHistogram->figuresText();
    ASSERT_FALSE(whole.isEmpty());
    QWidget* viewport = canvas().viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    QTest::mouseMove(viewport, QPoint(60, 40));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 40));
    EXPECT_EQ(canvas().selection(), QRect(QPoint(5, 5), QPoint(60, 40)));
    EXPECT_NE(window->picHistogram->figuresText(), whole);
}

TEST_F(PictureViewTest, aDroppedFileOpensAndIsRememberedForTheNextRun)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(kel)});
    // As a drag from a file manager comes: it enters the window, then it is dropped.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(window->picture().origin(), PictureOrigin::File);
    EXPECT_EQ(canvas().picture().size(), QSize(508, 432));

    // Another run of the program in the same folder: the recent files are there, and the
    // settings file is as the first start wrote it.
    const QByteArray settings = dir.read(QStringLiteral("Setting.ini"));
    window.reset();
    window = std::make_unique<frmMain>(core);
    window->endProcess = [] {};
    window->Form_Load();
    EXPECT_EQ(window->recentFiles(), QStringList{QFileInfo(kel).absoluteFilePath()});
    EXPECT_EQ(window->mnuRecent->actions().size(), 1);
    EXPECT_EQ(dir.read(QStringLiteral("Setting.ini")), settings);
}

// Not a check: photographs the window looking into a picture (zoomed with the readout, the
// figures with a saturated channel, the comparison with a reference) for the README, when
// KEL_PICTURE_SHOT names the PNG to write and KEL_PICTURE_SHOT_LANGUAGE the language.
TEST(PictureShot, photographsTheWindow)
{
    const QString shot = qEnvironmentVariable("KEL_PICTURE_SHOT");
    if (shot.isEmpty())
        GTEST_SKIP() << "KEL_PICTURE_SHOT not set";
    TempAppDir dir;
    dir.addLanguageFiles();
    dir.write(QStringLiteral("Setting.ini"),
              "[OPERATION]\r\nLanguage=" +
                  qEnvironmentVariable("KEL_PICTURE_SHOT_LANGUAGE", QStringLiteral("English"))
                      .toLatin1() +
                  "\r\n");
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    core.endProcess = [](int) {};
    frmMain window(core);
    window.endProcess = [] {};
    window.Form_Load();
    window.resize(1180, 720);
    window.show();
    const QString reference = dir.file(QStringLiteral("IMAGE/reference.KEL"));
    const QString picture = dir.file(QStringLiteral("IMAGE/line4.KEL"));
    writeAll(reference, kelFile(508, 432, 4));
    writeAll(picture, kelFile(508, 432, 8));
    prompter.dialogAnswers = {chose({reference})};
    window.mnuBinLoad_Click();
    window.mnuSetReference_Click();
    prompter.dialogAnswers = {chose({picture})};
    window.mnuBinLoad_Click();
    window.picCnvBmp->setZoom(4.0);
    window.picCnvBmp->horizontalScrollBar()->setValue(400);
    window.picCnvBmp->verticalScrollBar()->setValue(600);
    window.picCnvBmp->setSelection(QRect(100, 150, 80, 60));
    QTest::mouseMove(window.picCnvBmp->viewport(), QPoint(130, 110));
    QApplication::processEvents();
    ASSERT_TRUE(window.grab().save(shot, "PNG")) << shot.toStdString();
}

} // namespace
