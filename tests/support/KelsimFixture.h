#pragma once
// The simulated sensor for a test: the built kelsim started on a fresh pseudo-terminal with a
// fresh state folder, a settings file that points at it, and kelctl runs against it. kelsim
// is stopped with SIGTERM when the object goes, and on Linux by the system when the test's
// process dies without running its destructors.
//
//   KelsimProcess sim({.delimiterCode = 2, .arguments = {"--reply-er", "M"}});
//   ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
//   sim.pointSettingsAt(appDir.file("Setting.ini")); // a GUI test's own Setting.ini
//   KelctlResult r = sim.kelctl({"command", "IMGINFO 0 0"});

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class QProcess;

namespace kel::test {

// Has the system end process when the test's process ends, however it ends (Linux; elsewhere
// nothing). Call before process.start().
void endWithThisProcess(QProcess& process);

struct KelsimOptions {
    // 0 CR, 1 LF, 2 CR LF: given to kelsim and written as "Delimitr" by writeSettings.
    // -1: not given, so kelsim takes the delimiter of a settings file named by --settings.
    int delimiterCode = 0;
    // How often kelsim asks for a file it is to receive; shorter than its default to keep
    // uploads in tests quick.
    int startIntervalMs = 100;
    // Further kelsim options: image information, faults, --baud.
    QStringList arguments;
};

struct KelctlResult {
    int status = -1; // exit status; -1 when kelctl could not run or timed out
    QByteArray out;
    QByteArray err;
};

class KelsimProcess {
public:
    explicit KelsimProcess(const KelsimOptions& options = {});
    ~KelsimProcess();
    KelsimProcess(const KelsimProcess&) = delete;
    KelsimProcess& operator=(const KelsimProcess&) = delete;

    // True once kelsim has announced its device; error() says why not.
    bool ready() const { return m_ready; }
    QString error() const { return m_error; }

    QString device() const { return m_device; }     // the pseudo-terminal the PC side opens
    QString folder() const { return m_dir.path(); } // scratch folder of this run
    // Banks and system data: "bank1.bin" to "bank8.bin" and "system.bin" may be written here
    // at any time; kelsim reads them at every backup.
    QString stateDir() const { return folder() + QStringLiteral("/state"); }
    QString settingsFile() const { return folder() + QStringLiteral("/Setting.ini"); }
    QString file(const QString& name) const { return folder() + QLatin1Char('/') + name; }
    qint64 pid() const;

    // Writes a complete settings file (English, port 1, 38400,N,8,1, the delimiter, "Device"
    // at the device) at path, settingsFile() when empty, and returns its path.
    QString writeSettings(const QString& path = {}) const;
    // Sets only "Device" (section COM) of an existing or new settings file to the device,
    // keeping everything else in it. False when the file cannot be written.
    bool pointSettingsAt(const QString& path) const;

    // kelctl with --settings settingsFile() (written first when missing), waiting up to
    // timeoutMs.
    KelctlResult kelctl(const QStringList& args, int timeoutMs = 30000) const;
    // The same, started and left running, for a test that interrupts it; null when it could not
    // start. finishKelctl waits for it and collects what it printed.
    std::unique_ptr<QProcess> startKelctl(const QStringList& args) const;
    static KelctlResult finishKelctl(QProcess& process, int timeoutMs = 30000);

    // SIGTERM, then waits; kelsim's exit status, or -1 when it had to be killed or had ended
    // already. Later calls return -1.
    int stop(int timeoutMs = 5000);
    // What kelsim logged so far (commands, replies, transfers).
    QByteArray log() const;

private:
    KelsimOptions m_options;
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    bool m_ready = false;
    QString m_error;
    QString m_device;
};

// A gtest fixture that starts kelsim before each test and stops it after.
class KelsimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim = std::make_unique<KelsimProcess>(kelsimOptions());
        ASSERT_TRUE(sim->ready()) << sim->error().toStdString();
    }
    void TearDown() override { sim.reset(); }
    // Override to start kelsim differently.
    virtual KelsimOptions kelsimOptions() const { return {}; }

    std::unique_ptr<KelsimProcess> sim;
};

} // namespace kel::test
