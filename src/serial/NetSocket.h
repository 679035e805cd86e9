#pragma once
// A TCP connection as the byte ports use one: connect within a time-out, wait for input,
// take what has arrived without waiting, send everything. Plain sockets (POSIX, or Winsock on
// Windows), not Qt Network: the Windows Qt is built without its network module, the port's
// poll loop maps one to one onto poll/select and recv/send, and a socket needs no event loop
// and belongs to no thread, so the line may run on any thread.
//
// XMODEM sends one block and waits for one byte back, and the server forwards what the device
// sends in small pieces. With TCP's small-segment delay on either end each block stalls for a
// delayed acknowledgement, so the socket sends at once (TCP_NODELAY) and acknowledges at once
// (TCP_QUICKACK on Linux, renewed after every receive because it does not stick; an
// acknowledgement frequency of 1 on Windows), which keeps a server with default settings at the
// line's pace too. KEL_TCP_DEFAULTS=1 in the environment leaves both at the system's defaults,
// to measure what they are worth.

#include "serial/NetworkFailure.h"

#include <QByteArray>
#include <QString>

namespace kel::serial {

class NetSocket {
public:
    // The longest a close waits for the server to close its side.
    static constexpr int kLingerMs = 250;
    // The most one receive takes, so that a server that never stops sending cannot hold a
    // caller past its deadline.
    static constexpr int kReceiveChunk = 16384;

    NetSocket() = default;
    ~NetSocket();
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    // Resolves host and connects to the first of its addresses that answers within timeoutMs
    // in all. False with *failure saying why (unknown host, refused, no answer in time).
    bool connectTo(const QString& host, quint16 port, int timeoutMs, NetworkFailure* failure);
    // Ends output, reads away what still arrives until the server closes its side (kLingerMs at
    // most), then lets go; harmless when closed.
    void close();
    bool isOpen() const;

    // The rest throw PortError with the NetworkFailure, worded "host:port: reason", when the
    // connection fails or the server closed it.

    // Waits up to ms until something can be received (data or the end of the connection).
    void waitReadable(int ms);
    // What has arrived, kReceiveChunk bytes at most, without waiting; empty when nothing has.
    QByteArray receive();
    // Sends all bytes, waiting while the system's buffer is full, for at most timeoutMs.
    void send(const QByteArray& bytes, int timeoutMs);

private:
    [[noreturn]] void fail(NetworkCause cause, const QString& reason) const;
    void acknowledgePromptly();

    qintptr m_socket = -1; // the descriptor or SOCKET; -1 when closed
    QString m_peer;        // "host:port", for the texts of failures
    bool m_tuned = true;   // no-delay and prompt acknowledgements are on
};

} // namespace kel::serial
