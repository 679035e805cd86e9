// kelctl backup, restore and verify against the simulated sensor: what each leaves in the folder
// and reports when it succeeds, stops, meets "ER", finds a changed set or a block the sensor
// holds differently; and a list of sensors backed up at once.

#include "KelctlTestSupport.h"
#include "StateFolder.h"

#include "core/ProfileFile.h"
#include "sensor/BackupSet.h"
#include "support/KelsimFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::test;

namespace {

constexpr int kStatusDifferent = 13;
constexpr int kStatusSetRefused = 14;

const QStringList kBlockFiles = {"BANK1.BNK", "BANK2.BNK", "BANK3.BNK", "BANK4.BNK", "BANK5.BNK",
                                 "BANK6.BNK", "BANK7.BNK", "BANK8.BNK", "SYSTEM.STD"};

QByteArray blockFor(int bank, int size, char fill)
{
    QByteArray block = bank > 0 ? sim::StateFolder::defaultBank(bank).left(sim::kBlockHeaderSize)
                                : sim::StateFolder::defaultSystem().left(sim::kBlockHeaderSize);
    return block + QByteArray(size - block.size(), fill);
}

// Gives every block of the sensor contents and a size of its own, whole XMODEM blocks so that
// a file holds exactly the sensor's block.
void fillSensor(const KelsimProcess& sim, char fill)
{
    const sim::StateFolder state(sim.stateDir());
    ASSERT_TRUE(state.prepare(nullptr));
    for (int bank = 1; bank <= 8; ++bank)
        ASSERT_TRUE(state.storeBank(bank, blockFor(bank, 128 * (bank + 1), fill), nullptr));
    ASSERT_TRUE(state.storeSystem(blockFor(0, 128 * 5, fill), nullptr));
}

QByteArray sensorBlock(const KelsimProcess& sim, const QString& file)
{
    const sim::StateFolder state(sim.stateDir());
    const int bank = file.startsWith("BANK") ? file.mid(4, 1).toInt() : 0;
    return bank > 0 ? state.bank(bank) : state.system();
}

sensor::Manifest manifestOf(const QString& folder)
{
    QString error;
    const std::optional<sensor::Manifest> manifest = sensor::readManifest(folder, &error);
    EXPECT_TRUE(manifest) << error.toStdString();
    return manifest.value_or(sensor::Manifest{});
}

QStringList blockFilesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList({"*.BNK", "*.STD"}, QDir::Files, QDir::Name);
    return files;
}

// Waits until kelsim logged the command for the times-th time.
bool waitForCommand(const KelsimProcess& sim, const char* command, qsizetype times)
{
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (timesSent(sim.log(), command) >= times)
            return true;
        QThread::msleep(20);
    }
    return false;
}

class KelctlSets : public KelsimTest {};

TEST_F(KelctlSets, aCompleteSetHoldsEveryBlockAndVerifiesAndRestoresSame)
{
    fillSensor(*sim, 'a');
    const KelctlResult backup = sim->kelctl({"backup", "set"});
    ASSERT_EQ(backup.status, 0) << describe(backup);
    const QString set = sim->file("set");
    const sensor::Manifest manifest = manifestOf(set);
    EXPECT_TRUE(manifest.complete);
    EXPECT_EQ(manifest.device, sim->device());
    EXPECT_EQ(manifest.image, "0 40 0 25 0");
    ASSERT_EQ(manifest.files.size(), 9);
    for (const QString& name : kBlockFiles) {
        EXPECT_EQ(readBytes(set + '/' + name), sensorBlock(*sim, name)) << name.toStdString();
        ASSERT_TRUE(manifest.file(name)) << name.toStdString();
        EXPECT_EQ(manifest.file(name)->size, sensorBlock(*sim, name).size());
    }
    EXPECT_FALSE(QDir(set + "/INCOMPLETE").exists());

    const KelctlResult verify = sim->kelctl({"verify", "set"});
    EXPECT_EQ(verify.status, 0) << describe(verify);
    EXPECT_EQ(verify.out.count(" same\n"), 9) << describe(verify);

    fillSensor(*sim, 'z'); // a sensor that lost its setup
    const KelctlResult restore = sim->kelctl({"restore", "set"});
    EXPECT_EQ(restore.status, 0) << describe(restore);
    EXPECT_EQ(restore.out.count(" same\n"), 9) << describe(restore);
    for (const QString& name : kBlockFiles)
        EXPECT_EQ(sensorBlock(*sim, name), readBytes(set + '/' + name)) << name.toStdString();
}

// With this seed the sensor loses the PC's ACK of the end of bank 3 and repeats its EOT instead
// of hearing the next command: that EOT is acknowledged and the set goes on.
TEST(KelctlSetFailures, aLostAcknowledgementOfABlocksEndLeavesTheSetComplete)
{
    KelsimProcess sim({.arguments = {"--lose", "1", "--seed", "297"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult backup = sim.kelctl({"backup", "set"}, 60000);
    ASSERT_EQ(backup.status, 0) << describe(backup);
    EXPECT_TRUE(manifestOf(sim.file("set")).complete);
    EXPECT_EQ(blockFilesIn(sim.file("set")), kBlockFiles);
}

// The sensor's answer to one bank is "ER": what arrived is kept with a manifest saying the set
// is incomplete, which no restore accepts.
TEST(KelctlSetFailures, anErBankLeavesAnIncompleteSetThatIsNotRestored)
{
    KelsimProcess sim({.arguments = {"--reply-er", "BANKSAVE 3"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult backup = sim.kelctl({"backup", "set"});
    EXPECT_EQ(backup.status, kStatusEr) << describe(backup);
    EXPECT_EQ(blockFilesIn(sim.file("set")), QStringList({"BANK1.BNK", "BANK2.BNK"}));
    const sensor::Manifest manifest = manifestOf(sim.file("set"));
    EXPECT_FALSE(manifest.complete);
    EXPECT_EQ(manifest.files.size(), 2);
    EXPECT_EQ(timesSent(sim.log(), "BANKSAVE 4"), 0);

    for (const char* verb : {"restore", "verify"}) {
        const KelctlResult refused = sim.kelctl({verb, "set"});
        EXPECT_EQ(refused.status, kStatusSetRefused) << verb << describe(refused);
        EXPECT_TRUE(refused.err.contains("incomplete")) << describe(refused);
    }
    EXPECT_EQ(timesSent(sim.log(), "BANKLOAD"), 0);
}

TEST_F(KelctlSets, aChangedOrMissingFileRefusesTheSetAndNamesTheFile)
{
    fillSensor(*sim, 'b');
    ASSERT_EQ(sim->kelctl({"backup", "set"}).status, 0);
    const QString set = sim->file("set");
    QByteArray edited = readBytes(set + "/BANK4.BNK");
    edited[20] = edited[20] ^ 1; // same size, one bit
    ASSERT_TRUE(writeBytes(set + "/BANK4.BNK", edited));
    ASSERT_TRUE(QFile::remove(set + "/SYSTEM.STD"));

    for (const char* verb : {"restore", "verify"}) {
        const KelctlResult refused = sim->kelctl({verb, "set"});
        EXPECT_EQ(refused.status, kStatusSetRefused) << verb << describe(refused);
        EXPECT_TRUE(refused.err.contains("BANK4.BNK: changed")) << describe(refused);
        EXPECT_TRUE(refused.err.contains("SYSTEM.STD: missing")) << describe(refused);
    }
    EXPECT_EQ(timesSent(sim->log(), "BANKLOAD"), 0);
    EXPECT_EQ(timesSent(sim->log(), "SYSLOAD"), 0);
}

TEST_F(KelctlSets, aBlockTheSensorHoldsDifferentlyIsReportedDifferent)
{
    fillSensor(*sim, 'c');
    ASSERT_EQ(sim->kelctl({"backup", "set"}).status, 0);
    ASSERT_TRUE(sim::StateFolder(sim->stateDir()).storeBank(6, blockFor(6, 768, 'X'), nullptr));

    const KelctlResult verify = sim->kelctl({"verify", "set"});
    EXPECT_EQ(verify.status, kStatusDifferent) << describe(verify);
    EXPECT_TRUE(verify.out.contains("BANK6.BNK   different\n")) << describe(verify);
    EXPECT_EQ(verify.out.count(" same\n"), 8) << describe(verify);

    // A file whose block the sensor files under another bank: sent, but bank 2 reads back
    // different. Its manifest entry is made to match, so only the read-back can tell.
    const QString set = sim->file("set");
    ASSERT_TRUE(writeBytes(set + "/BANK2.BNK", blockFor(7, 384, 'm')));
    QString error;
    sensor::Manifest manifest = manifestOf(set);
    const std::optional<sensor::ManifestFile> described =
        sensor::describeFile(set + "/BANK2.BNK", "BANK2.BNK", &error);
    ASSERT_TRUE(described) << error.toStdString();
    for (sensor::ManifestFile& file : manifest.files) {
        if (file.fileName == "BANK2.BNK")
            file = *described;
    }
    ASSERT_TRUE(sensor::writeManifest(set, manifest, &error)) << error.toStdString();
    const KelctlResult restore = sim->kelctl({"restore", "set"});
    EXPECT_EQ(restore.status, kStatusDifferent) << describe(restore);
    EXPECT_TRUE(restore.out.contains("BANK2.BNK   different\n")) << describe(restore);
    EXPECT_TRUE(restore.out.contains("BANK6.BNK   same\n")) << describe(restore);
}

class KelctlSetStop : public KelsimTest {
protected:
    KelsimOptions kelsimOptions() const override { return {.arguments = {"--baud", "38400"}}; }
};

// Ctrl-C at the fifth block: the four that arrived are kept beside the older complete set,
// which stays complete and restorable.
TEST_F(KelctlSetStop, aStopAtBlockFiveKeepsTheOldCompleteSet)
{
    fillSensor(*sim, 'o');
    ASSERT_EQ(sim->kelctl({"backup", "set"}).status, 0);
    const QString set = sim->file("set");
    QByteArray oldBank1 = readBytes(set + "/BANK1.BNK");
    fillSensor(*sim, 'n');
    ASSERT_TRUE(
        sim::StateFolder(sim->stateDir()).storeBank(5, blockFor(5, 64 * 1024, 'n'), nullptr));

    const std::unique_ptr<QProcess> run = sim->startKelctl({"backup", "set"});
    ASSERT_TRUE(run);
    ASSERT_TRUE(waitForCommand(*sim, "BANKSAVE 5", 2));
    QThread::msleep(500);
    ::kill(static_cast<pid_t>(run->processId()), SIGINT);
    const KelctlResult stopped = KelsimProcess::finishKelctl(*run, 20000);
    EXPECT_EQ(stopped.status, kStatusStopped) << describe(stopped);

    EXPECT_TRUE(sensor::checkSet(set).isEmpty()) << "the old set is still whole";
    EXPECT_EQ(readBytes(set + "/BANK1.BNK"), oldBank1);
    const QString partial = set + "/INCOMPLETE";
    EXPECT_EQ(blockFilesIn(partial),
              QStringList({"BANK1.BNK", "BANK2.BNK", "BANK3.BNK", "BANK4.BNK"}));
    const sensor::Manifest manifest = manifestOf(partial);
    EXPECT_FALSE(manifest.complete);
    EXPECT_EQ(manifest.files.size(), 4);
    EXPECT_EQ(readBytes(partial + "/BANK1.BNK"), sensorBlock(*sim, "BANK1.BNK"));
}

// Four sensors at once, one answering "ER" to bank 3: three complete sets, one incomplete,
// and the exit status of the failing one.
TEST(KelctlFleet, fourSensorsGiveThreeCompleteSetsAndOneIncomplete)
{
    std::vector<std::unique_ptr<KelsimProcess>> sims;
    QByteArray list = "# name device\n";
    for (int i = 0; i < 4; ++i) {
        KelsimOptions options;
        if (i == 2)
            options.arguments = QStringList{"--reply-er", "BANKSAVE 3"};
        sims.push_back(std::make_unique<KelsimProcess>(options));
        ASSERT_TRUE(sims.back()->ready()) << sims.back()->error().toStdString();
        fillSensor(*sims.back(), char('p' + i));
        list += QStringLiteral("line-%1   %2\n").arg(i).arg(sims.back()->device()).toUtf8();
    }
    const KelsimProcess& first = *sims.front();
    ASSERT_TRUE(writeBytes(first.file("sensors.txt"), list));

    const KelctlResult run =
        first.kelctl({"--sensors", first.file("sensors.txt"), "backup", "--json", "plant"}, 60000);
    EXPECT_EQ(run.status, kStatusEr) << describe(run);
    const QJsonArray summary = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(summary.size(), 4) << describe(run);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject row = summary[i].toObject();
        const QString folder = first.file(QStringLiteral("plant/line-%1").arg(i));
        EXPECT_EQ(row["name"].toString(), QStringLiteral("line-%1").arg(i));
        EXPECT_EQ(manifestOf(folder).complete, i != 2) << i;
        EXPECT_EQ(row["result"].toString(), i == 2 ? "incomplete" : "complete");
        EXPECT_EQ(row["status"].toInt(), i == 2 ? kStatusEr : 0);
        if (i != 2) {
            EXPECT_TRUE(sensor::checkSet(folder).isEmpty()) << i;
            EXPECT_EQ(readBytes(folder + "/BANK8.BNK"), sensorBlock(*sims[i], "BANK8.BNK"));
        }
        EXPECT_EQ(row["bytes"].toInteger(), 128 * (i == 2 ? 2 + 3 : 44 + 5)) << i;
    }
    EXPECT_TRUE(run.err.contains("line-2: ")) << describe(run);
}

// The summary in Japanese, its headings and results in wide characters: every row is as wide on a
// terminal as the heading, where a wide character takes two columns.
TEST(KelctlFleet, theSummaryLinesUpByTerminalColumnsInJapanese)
{
    KelsimProcess first;
    KelsimProcess second;
    ASSERT_TRUE(first.ready() && second.ready());
    fillSensor(first, 'a');
    fillSensor(second, 'b');
    ASSERT_TRUE(writeBytes(
        first.file("sensors.txt"),
        QStringLiteral("line-1 %1\nline-22 %2\n").arg(first.device(), second.device()).toUtf8()));
    first.writeSettings();
    ASSERT_TRUE(profile::writeString(first.settingsFile(), QStringLiteral("OPERATION"),
                                     QStringLiteral("Language"), QStringLiteral("Japanese"))
                    .ok);
    const KelctlResult run =
        first.kelctl({"--sensors", first.file("sensors.txt"), "backup", "plant"}, 60000);
    ASSERT_EQ(run.status, 0) << describe(run);
    const auto columns = [](const QString& line) {
        int width = 0;
        for (const QChar c : line)
            width += c.unicode() >= 0x1100 ? 2 : 1; // the wide scripts of these texts
        return width;
    };
    const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << describe(run);
    for (const QString& line : lines)
        EXPECT_EQ(columns(line), columns(lines.first())) << line.toStdString();
}

TEST(KelctlFleet, aSensorListThatCannotBeUsedStartsNothing)
{
    KelsimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const QByteArray lists[] = {"",
                                "# only a comment\n",
                                "a/b /dev/null\n",
                                "../x /dev/null\n",
                                "name-without-device\n",
                                "A /dev/null\na /dev/null\n"};
    for (const QByteArray& list : lists) {
        ASSERT_TRUE(writeBytes(sim.file("list.txt"), list));
        const KelctlResult run = sim.kelctl({"--sensors", sim.file("list.txt"), "backup", "out"});
        EXPECT_EQ(run.status, kStatusUsage) << list.toStdString() << describe(run);
    }
    EXPECT_FALSE(QDir(sim.file("out")).exists());
}

} // namespace
