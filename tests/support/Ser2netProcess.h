#pragma once
// Debian's ser2net for a test: started on a free local TCP port with a generated
// configuration, in front of a device (kelsim's pseudo-terminal), with the server's default
// options. Stopped with SIGTERM when the object goes.
//
//   Ser2netProcess server(sim.device(), Ser2netProcess::Mode::Rfc2217);
//   ASSERT_TRUE(server.ready()) << server.error().toStdString();
//   sim.kelctl({"--device", server.deviceText(), "info"});

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kel::test {

class Ser2netProcess {
public:
    // Telnet without RFC 2217: a server that declines the COM-PORT-OPTION, reached as
    // "rfc2217://".
    enum class Mode { Rfc2217, RawTcp, TelnetOnly };

    // charDelay false: the connection's "chardelay: false", so that the server sends what the
    // device brings at once instead of waiting a few character times for more.
    Ser2netProcess(const QString& device, Mode mode, bool charDelay = true);
    ~Ser2netProcess();
    Ser2netProcess(const Ser2netProcess&) = delete;
    Ser2netProcess& operator=(const Ser2netProcess&) = delete;

    // True once ser2net listens; error() says why not.
    bool ready() const { return m_ready; }
    QString error() const { return m_error; }
    quint16 port() const { return m_port; }
    // "rfc2217://127.0.0.1:PORT" or "tcp://127.0.0.1:PORT".
    QString deviceText() const;
    // SIGTERM, then waits; the connections it served are cut.
    void stop();
    // Waits (up to a few seconds) until the server has closed the device after its last
    // connection: until then it reads what the device sends, so a program that opens the same
    // device directly would lose the replies to it. False when it still holds the device.
    bool waitUntilDeviceReleased() const;

    static QString modeName(Mode mode);

private:
    Mode m_mode;
    QString m_device;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_ready = false;
    QString m_error;
};

// A local TCP port that nothing listens on (taken from the system and let go); 0 when none.
quint16 freeLocalPort();
// Whether something listens on the local IPv4 port.
bool listensOn(quint16 port);

} // namespace kel::test
