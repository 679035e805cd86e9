// The whole sensor at once from the System menu, end to end against the simulated sensor: what
// a backup leaves in its folder when it completes or is stopped, and what a restore refuses,
// sends and reports.

#include "SensorFlowTest.h"
#include "StateFolder.h"
#include "core/StatusWords.h"
#include "sensor/BackupSet.h"
#include "support/FileBytes.h"
#include "support/WindowInput.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>

using namespace kel;
using namespace kel::test;

namespace {

// What the manifest of folder says, whether or not the set can be restored.
sensor::Manifest manifestOf(const QString& folder)
{
    sensor::Manifest manifest;
    sensor::checkSet(folder, &manifest);
    return manifest;
}

QStringList blockFilesIn(const QString& folder)
{
    return QDir(folder).entryList({"*.BNK", "*.STD"}, QDir::Files, QDir::Name);
}

// Counts how often a progress window is shown, and the blocks it names.
class ProgressWatch : public QObject {
public:
    ProgressWatch() { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    int shown = 0;
    QStringList blocks;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && object->objectName() == QLatin1String("frmWait"))
            ++shown;
        if (auto* label = qobject_cast<QLabel*>(object);
            label && label->objectName() == QLatin1String("lblBlock") && !label->text().isEmpty() &&
            !blocks.contains(label->text()))
            blocks << label->text();
        return false;
    }
};

class SetFlows : public SensorFlowTest {
protected:
    QString set() const { return dir.file(QStringLiteral("sets/line1")); }

    // Backs up the whole sensor into set(); answers: OK to the completion message.
    void backUp()
    {
        prompter.dialogAnswers = {chose(set())};
        prompter.answers = {AnswerOk};
        window->mnuWholeSave_Click();
    }

    QString statusLine() const { return window->status().result->text(); }

    QString message(int number, const QStringList& arguments = {}) const
    {
        return filledIn(core->GetMessageText(kSectionMessage, number).split('@').first().trimmed(),
                        arguments);
    }
};

TEST_F(SetFlows, aBackupInOneProgressWindowGivesNineFilesAndACompleteManifest)
{
    start();
    ProgressWatch watch;
    backUp();

    EXPECT_EQ(commands().filter("SAVE").size(), 9);
    EXPECT_EQ(watch.shown, 1) << "one progress window for the nine transfers";
    EXPECT_TRUE(watch.blocks.contains("Backing up bank 3 of 8"))
        << watch.blocks.join('|').toStdString();
    EXPECT_TRUE(watch.blocks.contains("Backing up the system data (9 of 9)"));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, message(MsgCompleted));
    const sensor::Manifest manifest = manifestOf(set());
    EXPECT_TRUE(manifest.complete);
    EXPECT_EQ(manifest.device, sim->device());
    EXPECT_TRUE(manifest.program.startsWith("keltool ")) << manifest.program.toStdString();
    EXPECT_EQ(manifest.image, "0 40 0 25 0");
    EXPECT_EQ(manifest.files.size(), 9);
    EXPECT_TRUE(sensor::checkSet(set()).isEmpty());
    EXPECT_EQ(readBytes(set() + "/BANK3.BNK"), sim::StateFolder(sim->stateDir()).bank(3));
    EXPECT_FALSE(QDir(set() + "/INCOMPLETE").exists());
    EXPECT_TRUE(statusLine().startsWith("Whole sensor backed up to "))
        << statusLine().toStdString();
    EXPECT_TRUE(takesInput(*window));
}

// Refused sets send nothing and name what is wrong; the restore is never even asked about.
TEST_F(SetFlows, aSetThatIsNotAsBackedUpIsRefusedAndNothingIsSent)
{
    start();
    backUp();
    const struct {
        const char* what;
        std::function<void()> spoil;
        int message;
        QStringList named;
    } cases[] = {
        {"a changed and a missing file",
         [&] {
             QByteArray edited = readBytes(set() + "/BANK4.BNK");
             edited[20] = char(edited[20] ^ 1); // same size, one bit
             ASSERT_TRUE(writeBytes(set() + "/BANK4.BNK", edited));
             ASSERT_TRUE(QFile::remove(set() + "/SYSTEM.STD"));
         },
         MsgSetFilesChanged,
         {"BANK4.BNK: changed since the backup", "SYSTEM.STD: missing"}},
        {"a manifest of an incomplete set",
         [&] {
             sensor::Manifest manifest = manifestOf(set());
             manifest.complete = false;
             QString error;
             ASSERT_TRUE(sensor::writeManifest(set(), manifest, &error));
         },
         MsgSetNotVouched,
         {"MANIFEST.TXT"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil();
        prompter.boxes.clear();
        prompter.dialogAnswers = {chose(set())};
        prompter.answers = {AnswerOk};
        window->mnuWholeLoad_Click();
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_TRUE(prompter.boxes[0].text.startsWith(message(c.message)));
        for (const QString& named : c.named)
            EXPECT_TRUE(prompter.boxes[0].text.contains(named))
                << prompter.boxes[0].text.toStdString();
        EXPECT_TRUE(statusLine().startsWith("Whole-sensor restore refused"))
            << statusLine().toStdString();
    }
    EXPECT_TRUE(commands().filter("LOAD").isEmpty()) << sim->log().toStdString();
}

// The file of bank 2 holds a block the sensor files as bank 7 (its manifest made to match): it
// is sent, but bank 2 reads back different; the others read back the same.
TEST_F(SetFlows, aRestoreAsksNamingTheFolderAndDeviceAndReportsEachBlock)
{
    start();
    backUp();
    const sim::StateFolder state(sim->stateDir());
    const QByteArray bank7 = state.bank(7).left(sim::kBlockHeaderSize) + QByteArray(368, 'm');
    ASSERT_TRUE(writeBytes(set() + "/BANK2.BNK", bank7));
    sensor::Manifest manifest = manifestOf(set());
    QString error;
    for (sensor::ManifestFile& file : manifest.files) {
        if (file.fileName == "BANK2.BNK")
            file = *sensor::describeFile(set() + "/BANK2.BNK", file.fileName, &error);
    }
    // Made elsewhere: the question names when and from where.
    manifest.date = QStringLiteral("2024-03-05T07:08:09Z");
    manifest.device = QStringLiteral("/dev/ttyUSB7");
    ASSERT_TRUE(sensor::writeManifest(set(), manifest, &error)) << error.toStdString();
    const QByteArray bank2Before = state.bank(2);

    // No: nothing is sent.
    prompter.boxes.clear();
    prompter.dialogAnswers = {chose(set()), chose(set())};
    prompter.answers = {AnswerNo, AnswerYes, AnswerOk};
    window->mnuWholeLoad_Click();
    EXPECT_TRUE(commands().filter("LOAD").isEmpty());
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QDir::toNativeSeparators(set())));
    EXPECT_TRUE(prompter.boxes[0].text.contains(sim->device()));
    EXPECT_TRUE(prompter.boxes[0].text.contains("/dev/ttyUSB7"));
    const QString made = QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC)
                             .toLocalTime()
                             .toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_TRUE(prompter.boxes[0].text.contains(made)) << prompter.boxes[0].text.toStdString();

    window->mnuWholeLoad_Click();
    EXPECT_EQ(commands().filter("LOAD").size(), 9);
    ASSERT_EQ(prompter.boxes.size(), 3);
    const QString report = prompter.boxes[2].text;
    EXPECT_TRUE(report.startsWith(message(MsgSetRestoredNotSame))) << report.toStdString();
    EXPECT_TRUE(report.contains("BANK2.BNK: different")) << report.toStdString();
    EXPECT_EQ(report.count(": same"), 8) << report.toStdString();
    EXPECT_EQ(state.bank(2), bank2Before);
    EXPECT_EQ(state.bank(7), readBytes(set() + "/BANK7.BNK")) << "sent after BANK2.BNK";
    EXPECT_TRUE(statusLine().contains("1 of 9 blocks did not read back the same"))
        << statusLine().toStdString();
}

class SetStopFlows : public SetFlows {};

// Stopped at bank 5: the four blocks that arrived are kept beside the older complete set, which
// stays complete; nothing is said but the status line.
TEST_F(SetStopFlows, aStopAtBankFiveKeepsTheOldCompleteSet)
{
    // Paced like a real line, with a bank 5 large enough to be stopped in.
    start({.arguments = {"--baud", "38400"}});
    backUp();
    const QByteArray oldBank1 = readBytes(set() + "/BANK1.BNK");
    const sim::StateFolder state(sim->stateDir());
    ASSERT_TRUE(state.storeBank(
        1, state.bank(1).left(sim::kBlockHeaderSize) + QByteArray(1008, 'N'), nullptr));
    ASSERT_TRUE(state.storeBank(5, state.bank(5) + QByteArray(32 * 1024, 'n'), nullptr));

    stopWhen([this] { return commands().count("BANKSAVE 5") == 2; }); // the first was backUp()'s
    prompter.boxes.clear();
    prompter.dialogAnswers = {chose(set())};
    prompter.answers = {AnswerYes}; // replace the complete set
    window->mnuWholeSave_Click();

    ASSERT_EQ(prompter.boxes.size(), 1) << "the question only";
    EXPECT_TRUE(prompter.boxes[0].text.contains(QDir::toNativeSeparators(set())));
    EXPECT_TRUE(sensor::checkSet(set()).isEmpty()) << "the old set is still whole";
    EXPECT_EQ(readBytes(set() + "/BANK1.BNK"), oldBank1);
    const QString partial = set() + "/INCOMPLETE";
    EXPECT_EQ(blockFilesIn(partial),
              QStringList({"BANK1.BNK", "BANK2.BNK", "BANK3.BNK", "BANK4.BNK"}));
    const sensor::Manifest manifest = manifestOf(partial);
    EXPECT_FALSE(manifest.complete);
    EXPECT_EQ(manifest.files.size(), 4);
    EXPECT_EQ(readBytes(partial + "/BANK1.BNK"), state.bank(1));
    EXPECT_EQ(commands().count("SYSSAVE"), 1) << "nothing after the stop";
    EXPECT_TRUE(statusLine().startsWith("Whole-sensor backup incomplete: 4 of 9 blocks kept in"))
        << statusLine().toStdString();
    EXPECT_TRUE(takesInput(*window));
}

} // namespace
