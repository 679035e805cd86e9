#pragma once
// What the kelctl tests share: its exit statuses, a readable account of a run, file helpers.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QThread>
#include <string>

#include "support/FileBytes.h"
#include "support/KelsimFixture.h"

namespace kel::test {

// Exit statuses of kelctl, as its documentation lists them.
constexpr int kStatusUsage = 2;
constexpr int kStatusPort = 4;
constexpr int kStatusNoReply = 5;
constexpr int kStatusEr = 6;
constexpr int kStatusDataError = 8;
constexpr int kStatusStopped = 9;
constexpr int kStatusFile = 11;
constexpr int kStatusUnexpectedReply = 12;
constexpr int kStatusConnectionLost = 15;

inline std::string describe(const KelctlResult& run)
{
    return "status " + std::to_string(run.status) + ", out: " + run.out.toStdString() +
           ", err: " + run.err.toStdString();
}

// How often kelsim logged that it received the command line.
inline qsizetype timesSent(const QByteArray& log, const char* command)
{
    return log.count(QByteArray("kelsim: > ") + command + '\n');
}

// Waits until kelsim logged the command, then a little longer so the transfer is under way.
inline bool waitForTransfer(const KelsimProcess& sim, const char* command)
{
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (timesSent(sim.log(), command) > 0) {
            QThread::msleep(700);
            return true;
        }
        QThread::msleep(20);
    }
    return false;
}

} // namespace kel::test
