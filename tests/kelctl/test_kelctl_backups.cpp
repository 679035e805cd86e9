// kelctl bank and kelctl system against the simulated sensor: backups byte for byte, restores,
// and a backup that fails or is stopped never costing the previous file.

#include "KelctlTestSupport.h"
#include "StateFolder.h"

#include "support/KelsimFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::test;

namespace {

// A block of size bytes that names bank (0: none) in its header, as a sensor's would.
QByteArray blockFor(int bank, int size, char fill)
{
    QByteArray block = bank > 0 ? sim::StateFolder::defaultBank(bank).left(sim::kBlockHeaderSize)
                                : sim::StateFolder::defaultSystem().left(sim::kBlockHeaderSize);
    block += QByteArray(size - block.size(), fill);
    return block;
}

class KelctlBackups : public KelsimTest {};

TEST_F(KelctlBackups, saveAllGivesEightFilesIdenticalToTheSensorsBanks)
{
    const sim::StateFolder state(sim->stateDir());
    ASSERT_TRUE(state.prepare(nullptr));
    // Banks of different contents and sizes, so that no two files could be mixed up.
    for (int bank = 1; bank <= 8; ++bank)
        ASSERT_TRUE(
            state.storeBank(bank, blockFor(bank, 128 * (bank + 1), char('a' + bank)), nullptr));

    const KelctlResult run = sim->kelctl({"bank", "save", "all", "backup/nightly"});
    ASSERT_EQ(run.status, 0) << describe(run);
    QStringList written;
    for (int bank = 1; bank <= 8; ++bank) {
        const QString file = sim->file(QStringLiteral("backup/nightly/BANK%1.BNK").arg(bank));
        EXPECT_EQ(readBytes(file), state.bank(bank)) << bank;
        written << QStringLiteral("backup/nightly/BANK%1.BNK").arg(bank);
    }
    EXPECT_EQ(run.out, (written.join('\n') + '\n').toLocal8Bit());
    EXPECT_EQ(QDir(sim->file("backup/nightly")).entryList(QDir::Files | QDir::Hidden).size(), 8);
}

TEST(KelctlBackupFailures, saveAllStopsAtTheFirstFailureAndKeepsTheOlderBackups)
{
    KelsimProcess sim({.arguments = {"--reply-er", "BANKSAVE 3"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    QDir(sim.folder()).mkpath("b");
    ASSERT_TRUE(writeBytes(sim.file("b/BANK3.BNK"), "last week's bank 3"));
    ASSERT_TRUE(writeBytes(sim.file("b/BANK4.BNK"), "last week's bank 4"));

    const KelctlResult run = sim.kelctl({"bank", "save", "all", "b"});
    EXPECT_EQ(run.status, kStatusEr) << describe(run);
    EXPECT_TRUE(run.err.contains("bank 3 not saved; banks 1 to 2 were saved")) << describe(run);
    EXPECT_EQ(readBytes(sim.file("b/BANK3.BNK")), "last week's bank 3");
    EXPECT_EQ(readBytes(sim.file("b/BANK4.BNK")), "last week's bank 4");
    EXPECT_EQ(timesSent(sim.log(), "BANKSAVE 4"), 0);
    EXPECT_EQ(QDir(sim.file("b")).entryList(QDir::Files | QDir::Hidden).size(), 4)
        << "no temporary file left";
}

TEST_F(KelctlBackups, aRestoredBankAndSystemComeBackUnchanged)
{
    const QByteArray bank = blockFor(5, 2048, 'x');
    const QByteArray system = blockFor(0, 640, 's');
    ASSERT_TRUE(writeBytes(sim->file("five.BNK"), bank));
    ASSERT_TRUE(writeBytes(sim->file("sys.STD"), system));

    ASSERT_EQ(sim->kelctl({"bank", "load", "five.BNK"}).status, 0);
    ASSERT_EQ(sim->kelctl({"system", "load", "sys.STD"}).status, 0);
    const KelctlResult bankBack = sim->kelctl({"bank", "save", "5", "back.BNK"});
    ASSERT_EQ(bankBack.status, 0) << describe(bankBack);
    const KelctlResult systemBack = sim->kelctl({"system", "save", "back.STD"});
    ASSERT_EQ(systemBack.status, 0) << describe(systemBack);
    EXPECT_EQ(readBytes(sim->file("back.BNK")), bank);
    EXPECT_EQ(readBytes(sim->file("back.STD")), system);
}

TEST_F(KelctlBackups, badRequestsSendNothing)
{
    const QStringList requests[] = {{"bank", "save", "9", "x.BNK"},
                                    {"bank", "save", "0", "x.BNK"},
                                    {"bank", "save", "1"},
                                    {"bank", "copy", "x"},
                                    {"system"},
                                    {"system", "save", "a", "b"}};
    for (const QStringList& args : requests) {
        const KelctlResult run = sim->kelctl(args);
        EXPECT_EQ(run.status, kStatusUsage) << args.join(' ').toStdString() << describe(run);
    }
    const KelctlResult missing = sim->kelctl({"bank", "load", "missing.BNK"});
    EXPECT_EQ(missing.status, kStatusFile) << describe(missing);
    EXPECT_FALSE(sim->log().contains("kelsim: >"));
}

class KelctlInterrupt : public KelsimTest {
protected:
    // Paced, and with a big bank, so a transfer lasts long enough to be interrupted.
    KelsimOptions kelsimOptions() const override { return {.arguments = {"--baud", "38400"}}; }
};

TEST_F(KelctlInterrupt, ctrlCDuringABackupKeepsThePreviousFileAndLeavesTheLineIdle)
{
    const sim::StateFolder state(sim->stateDir());
    ASSERT_TRUE(state.prepare(nullptr));
    ASSERT_TRUE(state.storeBank(2, blockFor(2, 64 * 1024, 'n'), nullptr));
    ASSERT_TRUE(writeBytes(sim->file("bank2.BNK"), "yesterday's bank 2"));

    const std::unique_ptr<QProcess> run = sim->startKelctl({"bank", "save", "2", "bank2.BNK"});
    ASSERT_TRUE(run);
    ASSERT_TRUE(waitForTransfer(*sim, "BANKSAVE 2"));
    QDeadlineTimer stopping(3000);
    ::kill(static_cast<pid_t>(run->processId()), SIGINT);
    const KelctlResult stopped = KelsimProcess::finishKelctl(*run, 10000);
    EXPECT_FALSE(stopping.hasExpired()) << "the stop took more than 3 s";
    EXPECT_EQ(stopped.status, kStatusStopped) << describe(stopped);
    EXPECT_EQ(readBytes(sim->file("bank2.BNK")), "yesterday's bank 2");
    EXPECT_EQ(QDir(sim->folder()).entryList({"*.BNK*"}, QDir::Files | QDir::Hidden),
              QStringList({"bank2.BNK"}));
    EXPECT_TRUE(sim->log().contains("cancelled by the PC")) << sim->log().toStdString();

    // The sensor is back at its commands.
    const KelctlResult next = sim->kelctl({"command", "IMGINFO 0 0"});
    EXPECT_EQ(next.status, 0) << describe(next);
    EXPECT_EQ(next.out, "0\n");
}

TEST_F(KelctlInterrupt, ctrlCDuringARestoreCancelsItAndLeavesTheLineIdle)
{
    ASSERT_TRUE(writeBytes(sim->file("big.BNK"), blockFor(6, 64 * 1024, 'r')));
    const std::unique_ptr<QProcess> run = sim->startKelctl({"bank", "load", "big.BNK"});
    ASSERT_TRUE(run);
    ASSERT_TRUE(waitForTransfer(*sim, "BANKLOAD"));
    ::kill(static_cast<pid_t>(run->processId()), SIGINT);
    const KelctlResult stopped = KelsimProcess::finishKelctl(*run, 10000);
    EXPECT_EQ(stopped.status, kStatusStopped) << describe(stopped);
    EXPECT_NE(sim::StateFolder(sim->stateDir()).bank(6), readBytes(sim->file("big.BNK")));

    const KelctlResult next = sim->kelctl({"command", "IMGINFO 0 0"});
    EXPECT_EQ(next.status, 0) << describe(next);
}

} // namespace
