#pragma once
// One soak scenario: kelsim started with its fault options, and the jobs run against it with
// the program's command exchange and transfer wrappers over the pseudo-terminal.

#include "core/AppCore.h"
#include "sensor/CoreLine.h"
#include "serial/QtBytePort.h"
#include "serial/SerialLink.h"
#include "serial/SystemClock.h"
#include "support/KelsimFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kel::soak {

enum class CheckMode { Crc, Checksum };

// Which jobs a scenario runs: bank and system backups (the PC receives), restores (the PC
// sends), image fetches and an upload.
enum class Jobs { Backups, Restores, Banks, All };

struct Tally {
    int transfers = 0;
    int succeeded = 0; // reported good, and the file is what was sent
    int failed = 0;    // reported as a failure (a message, a refused command, a cancel)
    int differ = 0;    // reported good, yet the file differs
    QStringList notes; // what differed, for the log

    Tally& operator+=(const Tally& other);
};

class SoakRun {
public:
    SoakRun(const QStringList& faults, CheckMode mode);

    bool ready() const { return m_sim.ready(); }
    QString error() const { return m_sim.error(); }

    // The scenario's jobs, rounds times.
    Tally runJobs(Jobs jobs, int rounds);

private:
    enum class Outcome { Succeeded, Failed, Differs };

    // The PC receives what command makes the sensor send; expected is the sensor's file.
    Outcome backup(const QString& command, const QByteArray& expected);
    // The PC sends file after command; stored, when given, is where the sensor keeps it.
    Outcome restore(const QString& command, const QByteArray& file, const QString& stored);
    // ReceiveFile, or for a sender without CRC mostly the checksum receiver at once.
    bool receive(const QString& path);
    Outcome compare(const QByteArray& got, const QByteArray& expected);
    void count(Tally& tally, const QString& job, Outcome outcome);

    // Transfers kelsim has finished, from its log.
    int sensorTransfers() const;
    // Waits until kelsim has finished more than before (its side may still be retrying when
    // the PC has given up), so that no transfer runs into the next one.
    void waitForSensor(int before);

    test::KelsimProcess m_sim;
    test::TempAppDir m_dir;
    test::ScriptedPrompter m_prompter;
    AppCore m_core;
    CoreLineNotices m_notices;
    serial::QtBytePort m_port;
    serial::SystemClock m_clock;
    serial::SerialLink m_link;
    const CheckMode m_mode;
    int m_job = 0;
    int m_checksumReceives = 0;
    QString m_difference; // of the last file that differed
};

} // namespace kel::soak
