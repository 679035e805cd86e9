// Transfer speed over an unpaced pseudo-terminal pair: a 219,458-byte file from sx to our
// receiver, from our sender to rx, and from sx to rx, several rounds each; prints the median
// wall times, the ratios to the lrzsz pair and the CPU time our side used.
//
//   build-bench/bin/bench_xmodem_pty [rounds]   (see README.md in this folder)

#include "serial/FileTransfer.h"
#include "serial/LineNotices.h"
#include "serial/QtBytePort.h"
#include "serial/SystemClock.h"
#include "serial/Xmodem.h"
#include "support/PtyPair.h"
#include "support/XmodemPackets.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace kel::serial;
using namespace kel::test;

namespace {

constexpr qsizetype kFileSize = 219458;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Round {
    double seconds = 0;
    double cpu = 0;
    bool ok = false;
};

void startSx(QProcess& sx, const PtyPair& pty)
{
    sx.setProgram(QStringLiteral("sx"));
    sx.setArguments({QStringLiteral("-q"), QStringLiteral("send.bin")});
    sx.setWorkingDirectory(pty.folder());
    sx.setStandardInputFile(pty.first());
    sx.setStandardOutputFile(pty.first());
    sx.start();
}

void startRx(QProcess& rx, const PtyPair& pty)
{
    rx.setProgram(QStringLiteral("socat"));
    rx.setArguments(
        {pty.second() + QStringLiteral(",raw,echo=0"), QStringLiteral("SYSTEM:rx -q -c recv.bin")});
    rx.setWorkingDirectory(pty.folder());
    rx.start();
}

enum class Pairing { SxToRx, SxToOurs, OursToRx };

Round runOnce(Pairing pairing, const QByteArray& data)
{
    PtyPair pty;
    Round round;
    if (!pty.ready())
        return round;
    QFile out(pty.folder() + QStringLiteral("/send.bin"));
    out.open(QIODevice::WriteOnly);
    out.write(data);
    out.close();

    SilentNotices notices;
    QtBytePort port;
    SystemClock clock;
    SerialLink link(notices, port, clock);
    link.line.port = 1;
    link.line.setting = QStringLiteral("38400,N,8,1");

    QProcess sx;
    QProcess rx;
    QElapsedTimer timer;
    double cpuBefore = cpuSeconds();
    timer.start();
    switch (pairing) {
    case Pairing::SxToRx:
        startRx(rx, pty);
        startSx(sx, pty);
        round.ok = runProcess(sx, 60000) == 0 && runProcess(rx, 60000) == 0;
        break;
    case Pairing::SxToOurs:
        link.line.device = pty.second();
        startSx(sx, pty);
        round.ok = ReceiveFile(link, pty.folder() + QStringLiteral("/recv.bin")).succeeded();
        round.ok = runProcess(sx, 60000) == 0 && round.ok;
        break;
    case Pairing::OursToRx: {
        // rx asks at once and then only every few seconds, and opening a port discards what
        // waits in it: open first, as the sensor's own start request comes after the command.
        link.line.device = pty.first();
        XmAttachPort(link, port);
        XmOpenPort(link, link.line);
        QFile source(pty.folder() + QStringLiteral("/send.bin"));
        source.open(QIODevice::ReadOnly);
        link.display.setBarMaximum(source.size());
        cpuBefore = cpuSeconds();
        timer.start();
        startRx(rx, pty);
        round.ok = XmSend(link, source) == XM_SUCCESS;
        XmClosePort(link);
        XmDetachPort(link);
        round.ok = runProcess(rx, 60000) == 0 && round.ok;
        break;
    }
    }
    round.seconds = timer.nsecsElapsed() / 1e9;
    round.cpu = cpuSeconds() - cpuBefore;
    QFile in(pty.folder() + QStringLiteral("/recv.bin"));
    const QByteArray fill(1, pairing == Pairing::OursToRx ? '\xFF' : '\x1A');
    round.ok = round.ok && in.open(QIODevice::ReadOnly) && in.readAll() == padded(data, fill.at(0));
    return round;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QByteArray data = patternFile(kFileSize, 2024);
    const struct {
        Pairing pairing;
        const char* name;
    } pairings[] = {{Pairing::SxToRx, "sx -> rx (lrzsz pair)"},
                    {Pairing::SxToOurs, "sx -> our receiver"},
                    {Pairing::OursToRx, "our sender -> rx"}};
    // Rounds interleave the pairings, so that a change in the machine's load meets all three.
    std::vector<double> times[3];
    std::vector<double> cpu[3];
    int failures[3] = {};
    for (int i = 0; i < rounds; ++i) {
        for (int p = 0; p < 3; ++p) {
            const Round round = runOnce(pairings[p].pairing, data);
            failures[p] += !round.ok;
            times[p].push_back(round.seconds);
            cpu[p].push_back(round.cpu);
        }
    }
    double medians[3] = {};
    for (int p = 0; p < 3; ++p) {
        medians[p] = median(times[p]);
        std::printf("%-24s median %.3f s (min %.3f, max %.3f), our CPU %.3f s, %d of %d failed\n",
                    pairings[p].name, medians[p],
                    *std::min_element(times[p].begin(), times[p].end()),
                    *std::max_element(times[p].begin(), times[p].end()), median(cpu[p]),
                    failures[p], rounds);
    }
    std::printf("ratio our receiver / lrzsz pair: %.2f\nratio our sender / lrzsz pair:   %.2f\n",
                medians[1] / medians[0], medians[2] / medians[0]);
    return 0;
}
