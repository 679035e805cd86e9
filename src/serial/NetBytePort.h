#pragma once
// The byte port over a TCP connection to a serial device server, for the device texts of
// NetAddress.h. "rfc2217://" speaks Telnet with the COM-PORT-OPTION: the server's line takes
// the line settings and DTR, and the server's buffer of what the device sent is purged at the
// open and whenever a discard finds noise. "tcp://"
// carries raw bytes, and the line stays as the server has it.
//
// A server that declines the COM-PORT-OPTION (or does not answer it in time) is still used,
// with its line as it is; the port says so once, through takeWarning(), and which of the two
// it was. What arrives is taken in bounded pieces and held to kInputLimit, so a server that
// never stops sending bounds neither a caller's deadline nor the memory. A server that refuses
// DTR control is no failure: the sensor's line needs no DTR, as on a pseudo-terminal.

#include "serial/BytePort.h"
#include "serial/NetSocket.h"
#include "serial/TelnetCodec.h"

#include <chrono>

namespace kel::serial {

class NetBytePort : public BytePort {
public:
    // How long a connection and the COM-PORT-OPTION negotiation may take, and how long a write
    // may wait for a server that takes nothing.
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kNegotiationTimeoutMs = 2000;
    static constexpr int kSendTimeoutMs = 5000;
    // How long bytes that got no answer are given to reach the device before a close.
    static constexpr int kSettleMs = 200;

    bool open(const PortOptions& options, QString* error) override;
    void close() override;
    bool isOpen() const override;

    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;
    QString takeWarning() override;
    std::optional<NetworkFailure> takeNetworkFailure() override;

private:
    void negotiate(const PortOptions& options, const QString& peer);
    void purgeServer();
    void takeArrived();
    void requireOpen() const;
    template <typename Call> auto recorded(Call call);

    NetSocket m_socket;
    TelnetCodec m_codec;
    bool m_telnet = false;
    bool m_comPort = false;       // the server sets its line for us
    bool m_purgeAnswered = false; // the server has answered the last PURGE-DATA
    qint64 m_unansweredBytes = 0; // written since the last data received
    std::chrono::steady_clock::time_point m_lastWrite;
    double m_characterMs = 0;
    QByteArray m_input;   // the line's data received and not yet read
    qint64 m_arrived = 0; // the line's data received in all, which a full input hides
    std::optional<NetworkFailure> m_networkFailure;
    QString m_warning;
    bool m_warned = false; // a declined COM-PORT-OPTION is told once per port
};

} // namespace kel::serial
