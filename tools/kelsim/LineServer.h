#pragma once
// The sensor on its line: collects command lines up to the delimiter, answers them (with the
// command faults applied), and runs the file transfers that an "OK" starts.

#include "FaultyPort.h"
#include "SensorModel.h"
#include "SensorReceive.h"
#include "SimOptions.h"
#include "serial/SerialLink.h"

#include <QByteArray>
#include <QList>
#include <atomic>
#include <functional>

namespace kel::sim {

// A command line longer than this is noise: the sensor forgets what it collected.
constexpr qsizetype kMaxLineLength = 1024;

struct ServerConfig {
    QByteArray delimiter = "\r";
    QList<CommandFaultRule> faults;
    ReceiveOptions receive;
};

class LineServer {
public:
    using Log = std::function<void(const QString&)>;

    // link.xmPort must be port; link.blnStop is the transfers' stop request, and terminate
    // says whether a stop means the end of the program (else it is cleared after a transfer).
    LineServer(const ServerConfig& config, SensorModel& sensor, serial::SerialLink& link,
               FaultyPort& port, const std::atomic<bool>& terminate, Log log);

    // Waits up to waitMs for input and handles every complete line, transfers included.
    void pollOnce(int waitMs);

private:
    // True when the line started a transfer or closed the line.
    bool handleLine(const QByteArray& line);
    const CommandFaultRule* faultFor(const QString& line) const;
    void sendLine(const QByteArray& text);
    void runSend(const QByteArray& file);
    void runReceive(ReceiveTarget target);
    void endTransfer(bool succeeded);

    ServerConfig m_config;
    SensorModel& m_sensor;
    serial::SerialLink& m_link;
    FaultyPort& m_port;
    const std::atomic<bool>& m_terminate;
    Log m_log;
    QByteArray m_line;
};

// The name of a transfer result code, for the log.
QString resultName(int code);

} // namespace kel::sim
