// The parts of kelctl a script relies on: how arguments are read, the exit statuses of
// transfer results, the measurement log's lines and the progress line.

#include "Arguments.h"
#include "ConsolePrompter.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "Session.h"
#include "TerminalProgress.h"

#include "core/CsvLine.h"
#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "serial/XmodemProtocol.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <set>

using namespace kelctl;
using kel::csvLine;
using kel::isoTimeWithOffset;

namespace {

const OptionSpec kSpec{{"--grey"}, {"--out", "--every"}};

TEST(KelctlArguments, optionsTakeTheirValueInEitherFormAndTheRestStaysInOrder)
{
    const Arguments parsed =
        parseArguments({"a", "--out", "dir", "b", "--every=2.5", "--grey", "-", "c"}, kSpec);
    EXPECT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.positional, QStringList({"a", "b", "-", "c"}));
    EXPECT_EQ(parsed.last("--out"), "dir");
    EXPECT_EQ(parsed.last("--every"), "2.5");
    EXPECT_TRUE(parsed.has("--grey"));
    EXPECT_FALSE(parsed.help());
}

TEST(KelctlArguments, aValueThatLooksLikeAnOptionIsStillTheValue)
{
    // A folder named "--grey" is odd, but "--out" takes the next word whatever it is.
    const Arguments parsed = parseArguments({"--out", "--grey"}, kSpec);
    EXPECT_EQ(parsed.last("--out"), "--grey");
    EXPECT_FALSE(parsed.has("--grey"));
}

TEST(KelctlArguments, mistakesAreReportedNotGuessed)
{
    EXPECT_EQ(parseArguments({"--gray"}, kSpec).error, "unknown option '--gray'");
    EXPECT_EQ(parseArguments({"--out"}, kSpec).error, "--out needs a value");
    // A flag given a value is no flag.
    EXPECT_FALSE(parseArguments({"--grey=1"}, kSpec).error.isEmpty());
}

TEST(KelctlArguments, doubleDashEndsOptionsSoFilesMayStartWithADash)
{
    const Arguments parsed = parseArguments({"--", "--grey", "-x.KEL"}, kSpec);
    EXPECT_TRUE(parsed.error.isEmpty());
    EXPECT_EQ(parsed.positional, QStringList({"--grey", "-x.KEL"}));
    EXPECT_FALSE(parsed.has("--grey"));
}

TEST(KelctlArguments, helpIsSeenWhereverItStands)
{
    EXPECT_TRUE(parseArguments({"x", "-h"}, kSpec).help());
    EXPECT_TRUE(parseArguments({"--help", "--bogus"}, kSpec).help());
}

// The statuses alone: an application folder without language files.
struct NoTexts {
    ConsolePrompter prompter;
    kel::AppCore core{kel::AppPaths::single(QStringLiteral("/nonexistent")), prompter};
};

TEST(KelctlExitStatus, everyTransferResultHasAStatusOfItsOwnAndNoFailureIsZero)
{
    NoTexts texts;
    const auto statusOf = [&](const kel::serial::TransferOutcome& outcome) {
        return Session::statusOf(texts.core, outcome);
    };
    using namespace kel::serial;
    const int codes[] = {XM_STOPPED, XM_DATA_ERROR, XM_TIMEOUT, XM_REMOTE_CANCEL};
    std::set<int> statuses;
    for (int code : codes) {
        const int status = statusOf(TransferOutcome{code, TransferFailure::None, {}, {}});
        EXPECT_GT(status, 0) << code;
        EXPECT_LT(status, 256) << code;
        statuses.insert(status);
    }
    EXPECT_EQ(statuses.size(), std::size(codes));
    EXPECT_EQ(statusOf(TransferOutcome{XM_STOPPED, TransferFailure::None, {}, {}}), ExitStopped);
    EXPECT_EQ(statusOf(TransferOutcome{XM_SUCCESS, TransferFailure::None, {}, {}}), ExitOk);
    // A result code the table does not know (a port's own failure) is still a failure.
    EXPECT_EQ(statusOf(TransferOutcome{8005, TransferFailure::None, {}, {}}), ExitFailure);
    EXPECT_EQ(statusOf(TransferOutcome{-1, TransferFailure::PortCannotOpen, {}, {}}),
              ExitPortUnavailable);
    EXPECT_EQ(statusOf(TransferOutcome{-1, TransferFailure::FileCannotOpen, {}, {}}),
              ExitFileError);
    EXPECT_EQ(statusOf(TransferOutcome{-1, TransferFailure::FileNotWritten, {}, {}}),
              ExitFileError);
}

TEST(KelctlExitStatus, anErReplyIsTheSensorsErrorEvenThoughAReplyCame)
{
    using kel::serial::CommandFailure;
    using kel::serial::CommandOutcome;
    EXPECT_EQ(Session::statusOf(CommandOutcome{CommandFailure::None, {}, {}}, "ER"),
              ExitSensorError);
    EXPECT_EQ(Session::statusOf(CommandOutcome{CommandFailure::None, {}, {}}, "ERR"), ExitOk);
    EXPECT_EQ(Session::statusOf(CommandOutcome{CommandFailure::NoReply, {}, {}}, ""), ExitNoReply);
    EXPECT_EQ(Session::statusOf(CommandOutcome{CommandFailure::PortCannotOpen, {}, {}}, ""),
              ExitPortUnavailable);
}

TEST(KelctlTexts, aNameHoldingAPlaceholderStaysAndAMissingTextStillSaysSomething)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("MessageENG.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Kelctl]\n73 = %1 is the source; the bitmap goes to %2\n");
    file.close();
    ConsolePrompter prompter;
    kel::AppCore core{kel::AppPaths::single(dir.path()), prompter};
    core.lngLanguage = kel::LanguageEnglish;
    EXPECT_EQ(kelctlText(core, 73, {"50%2.KEL", "b.bmp"}),
              "50%2.KEL is the source; the bitmap goes to b.bmp");
    EXPECT_EQ(kelctlText(core, 74, {"list.txt"}), "[Kelctl] 74: list.txt");
}

TEST(KelctlErrors, aMessageOfSeveralLinesIsPrintedAsOne)
{
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"Cannot open the port.\r\nCheck the settings.",
         "Cannot open the port. Check the settings."},
        {"/tmp/a.KEL\r\nThe file is cut short.", "/tmp/a.KEL: The file is cut short."},
        {"No reply.\r\n\r\n  Details: gone\n", "No reply. Details: gone"},
        {"\xe9\x96\x8b\xe3\x81\x91\xe3\x81\xbe\xe3\x81\x9b\xe3\x82\x93\xe3\x80\x82\r\n"
         "\xe7\xa2\xba\xe8\xaa\x8d",
         "\xe9\x96\x8b\xe3\x81\x91\xe3\x81\xbe\xe3\x81\x9b\xe3\x82\x93\xe3\x80\x82 "
         "\xe7\xa2\xba\xe8\xaa\x8d"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(oneLine(QString::fromUtf8(c.text)), QString::fromUtf8(c.line)) << c.text;
}

TEST(KelctlLog, fieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(csvLine({"t", "-1", "12.5"}), "t,-1,12.5");
    EXPECT_EQ(csvLine({"t", "", ""}), "t,,");
    EXPECT_EQ(csvLine({"t", "0", "1,5"}), "t,0,\"1,5\"");
    EXPECT_EQ(csvLine({"t", "0", "say \"x\""}), "t,0,\"say \"\"x\"\"\"");
    EXPECT_EQ(csvLine({"t", "0", "a\rb"}), "t,0,\"a\rb\"");
}

TEST(KelctlLog, timesCarryTheirOffsetFromUtc)
{
    const QDate day(2026, 12, 9);
    const QTime time(10, 33, 25, 120);
    EXPECT_EQ(isoTimeWithOffset(QDateTime(day, time, QTimeZone(9 * 3600))),
              "2026-12-09T10:33:25.120+09:00");
    EXPECT_EQ(isoTimeWithOffset(QDateTime(day, time, QTimeZone(-(3 * 3600 + 30 * 60)))),
              "2026-12-09T10:33:25.120-03:30");
    EXPECT_EQ(isoTimeWithOffset(QDateTime(day, time, QTimeZone::utc())),
              "2026-12-09T10:33:25.120+00:00");
}

TEST(KelctlProgress, theLineShowsBytesShareAndRate)
{
    EXPECT_EQ(TerminalProgress::line("BANKSAVE 1", 512, 1024, 0.5),
              "BANKSAVE 1: 512 / 1024 bytes   50 %  1.0 KiB/s");
    EXPECT_EQ(TerminalProgress::line("", 300, 0, 0), "300 bytes");
    // Filling to whole blocks can overshoot the expected size: never more than 100 %.
    EXPECT_EQ(TerminalProgress::line("x", 1100, 1024, 0), "x: 1100 / 1024 bytes  100 %");
}

} // namespace
