// kelctl measure, result and watch against the simulated sensor.

#include "KelctlTestSupport.h"

#include "support/KelsimFixture.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using namespace kel::test;

namespace {

class KelctlMeasure : public KelsimTest {};

TEST_F(KelctlMeasure, eachFormSendsItsCommandAndPrintsTheReply)
{
    const struct {
        QStringList args;
        const char* command;
    } cases[] = {{{"measure"}, "M"},
                 {{"measure", "--continuous"}, "M /C"},
                 {{"measure", "--end"}, "M /E"},
                 {{"measure", "--other"}, "M /I"}};
    for (const auto& c : cases) {
        const KelctlResult run = sim->kelctl(c.args);
        EXPECT_EQ(run.status, 0) << c.command << describe(run);
        EXPECT_EQ(run.out, "OK\n") << c.command;
        EXPECT_EQ(timesSent(sim->log(), c.command), 1) << c.command;
    }
    const KelctlResult both = sim->kelctl({"measure", "--continuous", "--end"});
    EXPECT_EQ(both.status, kStatusUsage) << describe(both);
}

TEST(KelctlMeasureReplies, aContinuousStartNeedsOkOtherFormsTakeAnyReply)
{
    KelsimProcess sim(
        {.arguments = {"--reply", "M /C=NG", "--reply", "M /E=DONE", "--reply-er", "M /I"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult start = sim.kelctl({"measure", "--continuous"});
    EXPECT_EQ(start.status, kStatusUnexpectedReply) << describe(start);
    EXPECT_EQ(start.out, "NG\n");
    const KelctlResult end = sim.kelctl({"measure", "--end"});
    EXPECT_EQ(end.status, 0) << describe(end);
    EXPECT_EQ(end.out, "DONE\n");
    EXPECT_EQ(sim.kelctl({"measure", "--other"}).status, kStatusEr);
}

TEST(KelctlResult, printsTheResultTextInTheSettingsLanguageAndTheValueAsReceived)
{
    KelsimProcess sim(
        {.arguments = {"--reply", "DATAGET 2 0=-1", "--reply", "DATAGET 2 1= 12.50"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult english = sim.kelctl({"result"});
    ASSERT_EQ(english.status, 0) << describe(english);
    EXPECT_EQ(english.out, "result  NG (-1)\nvalue    12.50\n");

    const KelctlResult json = sim.kelctl({"result", "--json"});
    ASSERT_EQ(json.status, 0) << describe(json);
    const QJsonObject object = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(object.value("code").toInt(), -1);
    EXPECT_EQ(object.value("value").toString(), " 12.50");

    // Japanese settings: the texts and the messages follow them.
    QByteArray settings = readBytes(sim.settingsFile());
    settings.replace("Language=English", "Language=Japanese");
    ASSERT_TRUE(writeBytes(sim.settingsFile(), settings));
    KelsimProcess refusing(
        {.arguments = {"--reply", "DATAGET 2 0=-2", "--reply-er", "DATAGET 2 1"}});
    ASSERT_TRUE(refusing.ready()) << refusing.error().toStdString();
    ASSERT_TRUE(writeBytes(
        refusing.settingsFile(),
        QByteArray(settings).replace(sim.device().toLocal8Bit(), refusing.device().toLocal8Bit())));
    const KelctlResult japanese = sim.kelctl({"result", "--json"});
    EXPECT_EQ(QJsonDocument::fromJson(japanese.out).object().value("result").toString(),
              QString::fromUtf8("NG"));
    // The labels follow the language of the texts, in one column on a terminal.
    const KelctlResult japaneseLines = sim.kelctl({"result"});
    EXPECT_EQ(QString::fromUtf8(japaneseLines.out),
              QString::fromUtf8("判定    NG (-1)\n測定値   12.50\n"));
    const KelctlResult error = refusing.kelctl({"result"});
    EXPECT_EQ(error.status, kStatusEr) << describe(error);
    EXPECT_TRUE(QString::fromUtf8(error.err).contains(QString::fromUtf8("センサ")))
        << error.err.toStdString();
}

TEST(KelctlResult, anUnknownCodeIsReportedAndTheValueIsNotAskedFor)
{
    KelsimProcess sim({.arguments = {"--reply", "DATAGET 2 0= 0"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult run = sim.kelctl({"result"});
    EXPECT_EQ(run.status, kStatusUnexpectedReply) << describe(run);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(timesSent(sim.log(), "DATAGET 2 1"), 0);
}

TEST_F(KelctlMeasure, watchPrintsOneCsvLinePerReadingAtTheGivenPace)
{
    QElapsedTimer clock;
    clock.start();
    const KelctlResult run = sim->kelctl({"watch", "--every", "0.3", "--count", "3", "--trigger"});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_GE(clock.elapsed(), 600);
    const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << describe(run);
    EXPECT_EQ(lines[0], "time,code,value");
    const QRegularExpression row(
        R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,(-2|-1|0),\d+\.\d\d$)");
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(row.match(lines[i]).hasMatch()) << lines[i].toStdString();
    EXPECT_EQ(timesSent(sim->log(), "M"), 3);

    for (const QStringList& bad : {QStringList{"watch"}, QStringList{"watch", "--every", "0"},
                                   QStringList{"watch", "--every", "x"},
                                   QStringList{"watch", "--every", "1", "--count", "0"}})
        EXPECT_EQ(sim->kelctl(bad).status, kStatusUsage) << bad.join(' ').toStdString();
}

TEST(KelctlWatch, aFailedReadingIsLoggedAndTheWatchGoesOn)
{
    KelsimProcess sim({.arguments = {"--reply-er", "DATAGET 2 0"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult run = sim.kelctl({"watch", "--every", "0.1", "--count", "2", "--no-header"});
    EXPECT_EQ(run.status, kStatusEr) << describe(run);
    const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << describe(run);
    EXPECT_TRUE(lines[0].endsWith(",ER,")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(",ER,")) << lines[1].toStdString();
}

TEST_F(KelctlMeasure, ctrlCEndsAWatchWithoutCount)
{
    const std::unique_ptr<QProcess> run = sim->startKelctl({"watch", "--every", "0.2"});
    ASSERT_TRUE(run);
    QThread::msleep(1000);
    ::kill(static_cast<pid_t>(run->processId()), SIGINT);
    const KelctlResult stopped = KelsimProcess::finishKelctl(*run, 8000);
    EXPECT_EQ(stopped.status, 0) << describe(stopped);
    EXPECT_GE(stopped.out.count('\n'), 3) << describe(stopped);
}

} // namespace
