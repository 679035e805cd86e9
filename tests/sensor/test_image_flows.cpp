// Fetching the sensor's image and loading one back, end to end against the simulated sensor.

#include "SensorFlowTest.h"
#include "core/StatusWords.h"
#include "image/ImageState.h"

#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>

using namespace kel;
using namespace kel::test;

namespace {

using ImageFlows = SensorFlowTest;

TEST_F(ImageFlows, fetchesColourAndGreyInEverySize)
{
    struct Case {
        int sizeCode;
        const char* height;
    };
    for (const Case& c : {Case{0, "432"}, Case{1, "216"}, Case{2, "108"}}) {
        SCOPED_TRACE(c.sizeCode);
        start({.arguments = {"--size-code", QString::number(c.sizeCode), "--phase", "2", "--gains",
                             "30,0,45"}});
        for (bool colour : {true, false}) {
            prompter.answers = {AnswerYes, AnswerYes,
                                AnswerOk}; // the second fetch discards the first
            window->optSelect[colour ? 0 : 1]->setChecked(true);
            window->cmdConvert_Click();
            EXPECT_EQ(window->lblValue[0]->text(), QStringLiteral("2"));
            EXPECT_EQ(window->lblValue[1]->text(), QStringLiteral("30"));
            EXPECT_EQ(window->lblValue[3]->text(), QStringLiteral("45"));
            EXPECT_EQ(window->lblValue[4]->text(), QStringLiteral("508"));
            EXPECT_EQ(window->lblValue[5]->text(), QLatin1String(c.height));
            EXPECT_EQ(window->picCnvBmp->picture().size(), QSize(508, QString(c.height).toInt()));
            EXPECT_TRUE(window->mnuBmpSave->isEnabled());
            EXPECT_EQ(window->mnuBinSave->isEnabled(), colour);
            EXPECT_EQ(window->cmdLoad->isEnabled(), colour);
            EXPECT_TRUE(window->picture().blnNotSaved);
            EXPECT_EQ(prompter.boxes.last().style & 0xF0, 64) << "completion message";
        }
        EXPECT_EQ(commands().mid(0, 6), (QStringList{"IMGINFO 0 0", "IMGINFO 0 1", "IMGINFO 0 2",
                                                     "IMGINFO 0 3", "IMGINFO 0 4", "IMGSAVE 0"}));
        EXPECT_EQ(commands().at(11), QStringLiteral("IMGSAVE 1"));
    }
}

// What the progress window showed of a fetch, looked at on every pass of the event loop.
struct FetchWatch {
    QList<QImage> previews; // each picture the window showed, as it showed it
    QStringList readTexts;  // lblRead when each was shown
    QStringList figures;    // every text of lblProgress
    bool barShown = false;
    bool countShownTwice = false; // lblRead's count beside the figures' count of the same bytes
    QString lastRead, lastBar;    // lblRead and the bar's text at the last look
};

void watchEveryPass(QTimer& timer, FetchWatch& watch)
{
    QObject::connect(&timer, &QTimer::timeout, [&watch] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() != QLatin1String("frmWait") || !widget->isVisible())
                continue;
            const auto* preview = widget->findChild<QLabel*>(QStringLiteral("picPreview"));
            const QImage shown = preview->pixmap().toImage();
            if (!shown.isNull() && (watch.previews.isEmpty() || watch.previews.last() != shown)) {
                watch.previews.append(shown);
                watch.readTexts.append(widget->findChild<QLabel*>("lblRead")->text());
            }
            const QString figures = widget->findChild<QLabel*>("lblProgress")->text();
            if (!figures.isEmpty() && (watch.figures.isEmpty() || watch.figures.last() != figures))
                watch.figures.append(figures);
            if (figures.contains(QLatin1String(" of ")) &&
                widget->findChild<QLabel*>("lblRead")->isVisible())
                watch.countShownTwice = true;
            const auto* bar = widget->findChild<QProgressBar*>("ProgressBar1");
            watch.barShown = watch.barShown || bar->isVisible();
            watch.lastRead = widget->findChild<QLabel*>("lblRead")->text();
            watch.lastBar = bar->text();
        }
    });
    timer.start(0);
}

TEST_F(ImageFlows, thePictureBuildsUpWhileItArrivesAsTheFinalPictureShowsIt)
{
    start({.arguments = {"--phase", "1", "--gains", "30,0,45"}});
    for (const bool colour : {true, false}) {
        SCOPED_TRACE(colour);
        FetchWatch watch;
        QTimer timer;
        watchEveryPass(timer, watch);
        prompter.answers = {AnswerYes, AnswerYes, AnswerOk};
        window->optSelect[colour ? 0 : 1]->setChecked(true);
        window->cmdConvert_Click();
        timer.stop();

        const QImage final = window->picCnvBmp->picture().convertToFormat(
            colour ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
        ASSERT_EQ(final.size(), QSize(508, 432));
        ASSERT_FALSE(watch.previews.isEmpty());
        // The first rows came long before the last block: 432 rows are 1,715 blocks.
        EXPECT_LT(watch.previews.first().height(), 432);
        EXPECT_LT(watch.readTexts.first().section(' ', 1, 1).toInt(), 508 * 432 / 2);
        for (const QImage& preview : std::as_const(watch.previews)) {
            const QImage rows = preview.convertToFormat(final.format());
            EXPECT_EQ(rows, final.copy(0, 0, 508, rows.height())) << rows.height() << " rows";
        }
        EXPECT_TRUE(watch.barShown);
        EXPECT_FALSE(watch.countShownTwice);
        // One count and one total: the received file's whole blocks, as the status line says.
        EXPECT_TRUE(
            watch.figures.last().startsWith(QStringLiteral("219,520 of 219,520 bytes (100 %)")))
            << watch.figures.last().toStdString();
        EXPECT_EQ(watch.lastRead.section(' ', 1, 1), QStringLiteral("219520"));
        EXPECT_EQ(watch.lastBar, QStringLiteral("100 %"));
    }
}

TEST_F(ImageFlows, informationValuesAreShownAsWholeNumbers)
{
    start({.arguments = {"--reply", "IMGINFO 0 1=007", "--reply", "IMGINFO 0 3= 12"}});
    prompter.answers = {AnswerYes, AnswerOk};
    window->cmdConvert_Click();
    EXPECT_EQ(window->lblValue[1]->text(), QStringLiteral("7"));
}

TEST_F(ImageFlows, uploadWithAGainThatIsNoByteShowsTheErrorAndSendsNothing)
{
    start();
    ASSERT_TRUE(fetch());
    sim =
        std::make_unique<KelsimProcess>(KelsimOptions{.arguments = {"--reply", "IMGINFO 0 2=300"}});
    ASSERT_TRUE(sim->pointSettingsAt(dir.file(QStringLiteral("Setting.ini"))));
    core->LoadComSettings();
    const qsizetype boxes = prompter.boxes.size();
    prompter.answers = {AnswerYes, AnswerOk};
    window->cmdLoad_Click();
    ASSERT_EQ(prompter.boxes.size(), boxes + 2); // the question, then the error box
    EXPECT_EQ(prompter.boxes.last().style, 16);
    EXPECT_FALSE(commands().contains(QStringLiteral("IMGLOAD")));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("TMP/tmp_2.bin"))));
}

TEST_F(ImageFlows, decliningToDiscardTheUnsavedImageChangesNothing)
{
    start();
    ASSERT_TRUE(fetch());
    const qsizetype sent = commands().size();
    const QImage before = window->picCnvBmp->picture();
    prompter.answers = {AnswerYes, AnswerNo};
    window->cmdConvert_Click();
    EXPECT_EQ(commands().size(), sent);
    EXPECT_EQ(window->picCnvBmp->picture(), before);
    EXPECT_TRUE(window->mnuBinSave->isEnabled());
    EXPECT_TRUE(window->cmdLoad->isEnabled());
    EXPECT_TRUE(window->picture().blnNotSaved);
}

// A Yes to the question about the unsaved image lets it go, and the old raw file goes before the
// command is sent: a fetch that then fails leaves neither the flag nor the old image's file.
TEST_F(ImageFlows, aYesToDiscardClearsTheFlagAndTheOldRawFileGoesBeforeTheCommand)
{
    start();
    ASSERT_TRUE(fetch());
    const QString rawFile = dir.file(QStringLiteral("TMP/tmp.bin"));
    ASSERT_TRUE(QFile::exists(rawFile));
    sim = std::make_unique<KelsimProcess>(
        KelsimOptions{.arguments = {QStringLiteral("--reply-er"), QStringLiteral("IMGSAVE 0")}});
    ASSERT_TRUE(sim->ready());
    ASSERT_TRUE(sim->pointSettingsAt(dir.file(QStringLiteral("Setting.ini"))));
    core->LoadComSettings();

    prompter.answers = {AnswerYes, AnswerYes, AnswerOk};
    window->cmdConvert_Click();
    EXPECT_EQ(commands().last(), QStringLiteral("IMGSAVE 0"));
    EXPECT_FALSE(window->picture().blnNotSaved);
    EXPECT_FALSE(QFile::exists(rawFile));
}

// After a good fetch, the sensor is swapped for one that refuses or ignores one query.
TEST_F(ImageFlows, refusedOrUnansweredQueryStopsTheFetchWithControlsDisabled)
{
    struct Case {
        const char* fault;
        int index;
        MessageNumber message;
    };
    const Case cases[] = {{"--reply-er", 0, MsgSensorError}, {"--reply-er", 1, MsgSensorError},
                          {"--reply-er", 2, MsgSensorError}, {"--reply-er", 3, MsgSensorError},
                          {"--reply-er", 4, MsgSensorError}, {"--no-reply", 4, MsgNoReply}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fault << " " << c.index);
        start();
        ASSERT_TRUE(fetch());
        window->picture().blnNotSaved = false;

        sim = std::make_unique<KelsimProcess>(
            KelsimOptions{.arguments = {c.fault, QStringLiteral("IMGINFO 0 %1").arg(c.index)}});
        ASSERT_TRUE(sim->ready());
        ASSERT_TRUE(sim->pointSettingsAt(dir.file(QStringLiteral("Setting.ini"))));
        core->LoadComSettings();

        const qsizetype boxes = prompter.boxes.size();
        prompter.answers = {AnswerYes, AnswerOk};
        window->cmdConvert_Click();
        EXPECT_TRUE(showsNoImage());
        EXPECT_FALSE(window->mnuBmpSave->isEnabled());
        EXPECT_FALSE(window->mnuBinSave->isEnabled());
        EXPECT_FALSE(window->cmdLoad->isEnabled());
        ASSERT_EQ(prompter.boxes.size(), boxes + 2); // the question, then the line's message
        // A refusal names the command, as sent and in words.
        const QString command = QStringLiteral("IMGINFO 0 %1").arg(c.index);
        QStringList named;
        if (c.message == MsgSensorError)
            named << command << statusText(*core, StatusWaitImageInfo);
        EXPECT_EQ(
            prompter.boxes.last().text,
            filledIn(core->GetMessageText(kSectionMessage, c.message).split('@').first().trimmed(),
                     named));
        EXPECT_EQ(commands().size(), c.index + 1); // nothing after the failed query
    }
}

TEST_F(ImageFlows, uploadSendsTheImageWithoutGainsAndTheSensorThenHoldsIt)
{
    start({.arguments = {"--phase", "1", "--gains", "20,10,40"}});
    ASSERT_TRUE(fetch());
    prompter.answers = {AnswerYes, AnswerOk};
    window->cmdLoad_Click();
    EXPECT_EQ(commands().mid(6),
              (QStringList{"IMGINFO 0 0", "IMGINFO 0 1", "IMGINFO 0 2", "IMGINFO 0 3", "IMGLOAD"}));
    EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("TMP/tmp_2.bin"))).size(), 508 * 480);
    EXPECT_EQ(prompter.boxes.last().style & 0xF0, 64) << "completion message";
    const ByteGrid uploaded = window->image().CurrentImage.Pixels;

    // What the sensor sends now is the image it was given.
    window->picture().blnNotSaved = false;
    ASSERT_TRUE(fetch());
    const ByteGrid fetched = window->image().CurrentImage.Pixels;
    ASSERT_EQ(fetched.columns(), 508);
    ASSERT_EQ(fetched.rows(), 432);
    bool same = true;
    for (int row = 0; row < 432 && same; ++row)
        for (int column = 0; column < 508 && same; ++column)
            same = fetched.at(column, row) == uploaded.at(column, row);
    EXPECT_TRUE(same);
}

TEST_F(ImageFlows, uploadWhoseQueryIsRefusedSendsNothing)
{
    start({.arguments = {"--gains", "20,10,40"}});
    ASSERT_TRUE(fetch());
    sim =
        std::make_unique<KelsimProcess>(KelsimOptions{.arguments = {"--reply-er", "IMGINFO 0 2"}});
    ASSERT_TRUE(sim->pointSettingsAt(dir.file(QStringLiteral("Setting.ini"))));
    core->LoadComSettings();
    prompter.answers = {AnswerYes, AnswerOk};
    window->cmdLoad_Click();
    EXPECT_FALSE(commands().contains(QStringLiteral("IMGLOAD")));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("TMP/tmp_2.bin"))));
}

// A size code the program does not know gives no height to fetch with: nothing is asked for,
// whatever the window showed before, and the message names the code in the window's language.
// Every unusable size code, a number the sensor has no size for or no number at all, gets the
// same message naming it.
TEST_F(ImageFlows, unknownSizeCodeIsRefusedBeforeTheImageIsAskedFor)
{
    for (const char* language : {"English", "Japanese"}) {
        for (const char* code : {"3", "X"}) {
            SCOPED_TRACE(std::string(language) + " code " + code);
            start({}, language);
            ASSERT_TRUE(fetch());
            window->picture().blnNotSaved = false;
            sim = std::make_unique<KelsimProcess>(
                KelsimOptions{.arguments = {QStringLiteral("--reply"),
                                            QStringLiteral("IMGINFO 0 4=") + QLatin1String(code)}});
            ASSERT_TRUE(sim->pointSettingsAt(dir.file(QStringLiteral("Setting.ini"))));
            core->LoadComSettings();

            const qsizetype boxes = prompter.boxes.size();
            prompter.answers = {AnswerYes, AnswerOk};
            window->cmdConvert_Click();
            ASSERT_EQ(prompter.boxes.size(), boxes + 2); // the question, then the refusal
            const QString text = prompter.boxes.last().text;
            const QString message = core->GetMessageText(kSectionMessage, MsgUnknownImageSize)
                                        .split('@')
                                        .first()
                                        .trimmed();
            ASSERT_FALSE(message.isEmpty());
            EXPECT_TRUE(text.startsWith(message)) << text.toStdString();
            EXPECT_TRUE(text.endsWith(
                core->GetMessageText(kSectionLabel, LabelSizeCode).arg(QLatin1String(code))))
                << text.toStdString();
            EXPECT_FALSE(commands().contains(QStringLiteral("IMGSAVE 0")));
            EXPECT_TRUE(window->lblValue[5]->text().isEmpty()) << "no height is left standing";
            EXPECT_FALSE(window->mnuBinSave->isEnabled());
            EXPECT_FALSE(window->cmdLoad->isEnabled());
        }
    }
}

} // namespace
