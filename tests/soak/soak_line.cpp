// The line under faults, for a long run: kelsim with flipped bits, dropped bytes, lost bytes
// from the PC (ACKs among them), cancels and silence, against the program's own command and
// transfer code on a real pseudo-terminal. Images, banks and the system data go both ways,
// with CRC and with checksum blocks. Every transfer is counted as a success, a reported
// failure, or a file reported good that differs from what was sent; the last must never
// happen. The figures are printed at the end.
//
// KEL_SOAK_ROUNDS (default 2) repeats every scenario's jobs that many times; KEL_SOAK_ONLY runs
// only the scenarios whose name contains it; KEL_SOAK_SEED (default 0) moves every scenario's
// choice of the bytes that the faults hit.

#include "SoakJobs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>

using namespace kel::soak;

namespace {

struct Scenario {
    const char* name;
    QStringList faults; // kelsim options
    Jobs jobs;
};

// Fault rates are per byte, and each scenario runs the jobs its faults leave a chance: a byte
// lost or dropped costs a 10-second time-out, and ten errors in one transfer end it, so a
// sensor that loses 2 % of what it hears can take the PC's ACKs (backups) but not its blocks
// (restores). Checksum blocks get fewer flips: two flips of the same bit in opposite
// directions leave an 8-bit sum unchanged, which no receiver can notice, and this run is about
// the code, not about that weakness of the check.
const Scenario kScenarios[] = {
    {"clean", {}, Jobs::All},
    {"flipped bits", {"--corrupt", "0.01"}, Jobs::All},
    {"dropped bytes", {"--drop", "0.03"}, Jobs::Banks},
    {"lost ACKs of the PC", {"--lose", "5"}, Jobs::Backups},
    {"lost ACKs of the sensor", {"--drop", "5"}, Jobs::Restores},
    {"cancels", {"--cancel-after", "3"}, Jobs::All},
    {"silence", {"--no-reply", "BANKSAVE 2", "--no-reply", "SYSLOAD"}, Jobs::Banks},
    {"everything at once", {"--corrupt", "0.02", "--drop", "0.01", "--lose", "0.05"}, Jobs::Banks},
};

int rounds()
{
    const int value = qEnvironmentVariableIntValue("KEL_SOAK_ROUNDS");
    return value > 0 ? value : 2;
}

TEST(SoakLine, noFileIsReportedGoodThatDiffers)
{
    Tally total;
    QElapsedTimer clock;
    clock.start();
    std::printf("%-28s %-8s %9s %9s %9s %9s %7s\n", "scenario", "check", "transfers", "succeeded",
                "failed", "differ", "seconds");
    std::fflush(stdout);
    const QString only = qEnvironmentVariable("KEL_SOAK_ONLY");
    const int firstSeed =
        1 + 2 * qEnvironmentVariableIntValue("KEL_SOAK_SEED") * int(std::size(kScenarios));
    for (int index = 0; index < int(std::size(kScenarios)); ++index) {
        const Scenario& scenario = kScenarios[index];
        if (!QLatin1String(scenario.name).contains(only))
            continue;
        for (const CheckMode mode : {CheckMode::Crc, CheckMode::Checksum}) {
            QElapsedTimer lap;
            lap.start();
            const bool checksum = mode == CheckMode::Checksum;
            // Each run its own bytes: with one seed for all, a rate that spares the first run's
            // bytes would spare every run's.
            QStringList faults = scenario.faults;
            faults << QStringLiteral("--seed")
                   << QString::number(firstSeed + 2 * index + (checksum ? 1 : 0));
            // Flipped bits are ten times rarer with checksum blocks (see above).
            for (qsizetype i = 0; checksum && i + 1 < faults.size(); ++i) {
                if (faults[i] == QLatin1String("--corrupt"))
                    faults[i + 1] = QString::number(faults[i + 1].toDouble() / 10);
            }
            SoakRun run(faults, mode);
            ASSERT_TRUE(run.ready()) << run.error().toStdString();
            const Tally tally = run.runJobs(scenario.jobs, rounds());
            std::printf("%-28s %-8s %9d %9d %9d %9d %7.0f\n", scenario.name,
                        checksum ? "checksum" : "CRC", tally.transfers, tally.succeeded,
                        tally.failed, tally.differ, lap.elapsed() / 1000.0);
            std::fflush(stdout);
            for (const QString& note : tally.notes)
                std::printf("    %s\n", qPrintable(note));
            std::fflush(stdout);
            total += tally;
        }
    }
    std::printf("%-28s %-8s %9d %9d %9d %9d %7.0f\n", "total", "", total.transfers, total.succeeded,
                total.failed, total.differ, clock.elapsed() / 1000.0);
    EXPECT_EQ(total.differ, 0);
    EXPECT_EQ(total.transfers, total.succeeded + total.failed + total.differ);
    EXPECT_GT(total.succeeded, total.transfers / 2) << "the faults left too few good transfers";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
