// kelctl against a server that never stops sending: the exchange ends within its time-out
// and the memory stays bounded, whether the server is reached as raw TCP or as Telnet.

#include "KelctlTestSupport.h"

#include "support/KelsimFixture.h"
#include "support/LoopbackServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>

using namespace kel::test;

namespace {

// The peak resident size of a running process in KiB, 0 once it has gone.
qint64 peakResidentKib(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

TEST(KelctlFlood, aServerThatNeverStopsSendingEndsTheRunInTimeAndInBoundedMemory)
{
#ifdef __SANITIZE_ADDRESS__
    // The sanitizer keeps freed memory resident for a while to catch late uses; without that
    // quarantine kelctl's resident memory says what the program itself holds.
    qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":quarantine_size_mb=0");
#endif
    KelsimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    LoopbackServer server(LoopbackServer::Behaviour::Flood);
    ASSERT_TRUE(server.ready());
    const QStringList commands[] = {{"command", "IMGINFO 0 0"}, {"bank", "save", "1", "b.BNK"}};
    for (const char* scheme : {"tcp", "rfc2217"}) {
        for (const QStringList& command : commands) {
            const std::string what = std::string(scheme) + " " + command.join(' ').toStdString();
            const std::unique_ptr<QProcess> run = sim.startKelctl(
                QStringList{"--device", server.deviceText(QLatin1String(scheme))} + command);
            ASSERT_TRUE(run) << what;
            QElapsedTimer clock;
            clock.start();
            qint64 peakKib = 0;
            bool finished = false;
            while (!(finished = run->waitForFinished(20)) && clock.elapsed() < 60000)
                peakKib = std::max(peakKib, peakResidentKib(run->processId()));
            const qint64 elapsedMs = clock.elapsed();
            const KelctlResult result =
                finished
                    ? KelctlResult{run->exitStatus() == QProcess::NormalExit ? run->exitCode() : -1,
                                   run->readAllStandardOutput(), run->readAllStandardError()}
                    : KelsimProcess::finishKelctl(*run, 0);
            std::printf("%s: %lld ms, peak %lld KiB\n", what.c_str(), (long long)elapsedMs,
                        (long long)peakKib);
            // The wait for a reply ends at its 5 s time-out at the latest (an endless line ends
            // it at once); the margin is for a loaded machine.
            EXPECT_LE(elapsedMs, 6500) << what;
            EXPECT_LE(peakKib, 50 * 1024) << what;
            // An endless line is no reply.
            EXPECT_EQ(result.status, kStatusNoReply) << what << " " << describe(result);
            EXPECT_LE(result.err.size(), 1024) << what;
        }
    }
    EXPECT_FALSE(QFile::exists(sim.file("b.BNK")));
}

} // namespace
