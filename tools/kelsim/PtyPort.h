#pragma once
// The sensor's end of the line: the master side of a new pseudo-terminal, whose slave device
// is what the PC opens. kelsim keeps the slave open itself, so the line stays up while the PC
// opens and closes its port for every command.
//
// Pacing: with a baud rate set, both directions take the time a real line would, 10 bits a
// byte. Outgoing bytes are handed to the pseudo-terminal when their last bit would have left
// (write blocks until then), a few at a time; incoming bytes become readable one character
// time after the previous one, so a burst from the PC arrives at line speed too.

#include "serial/BytePort.h"
#include "serial/InputQueue.h"

#include <QByteArray>
#include <atomic>
#include <chrono>
#include <deque>

namespace kel::sim {

class PtyPort : public serial::BytePort {
public:
    PtyPort() = default;
    ~PtyPort() override;
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Makes the pseudo-terminal pair in raw mode. False, with *error, when the system refuses.
    bool create(QString* error);
    QString devicePath() const { return m_devicePath; }

    // 0: unpaced.
    void setBaud(qint32 baud);
    // A paced write gives up on the rest of its bytes once the flag is set.
    void setAbandonFlag(const std::atomic<bool>* flag) { m_abandon = flag; }
    // Lifts an exclusive lock that a PC program left on the device when it died with the port
    // open (Qt takes one while a port is open), so the next program can open it.
    void releaseExclusiveLock();

    // The pair is made by create(); open only reports whether that happened.
    bool open(const serial::PortOptions& options, QString* error) override;
    void close() override;
    bool isOpen() const override { return m_master >= 0; }

    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;

private:
    using Clock = std::chrono::steady_clock;

    void requireOpen() const;
    // Takes what the pseudo-terminal holds and releases the bytes whose time has come.
    void pump();
    void writeNow(const char* data, qsizetype size);

    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;

    Clock::duration m_characterTime{};
    bool m_paced = false;
    const std::atomic<bool>* m_abandon = nullptr;

    serial::InputQueue m_ready;                          // arrived and readable
    serial::BytesInFlight<Clock::time_point> m_inFlight; // arrived, readable later
    Clock::time_point m_inputFreeAt{};
};

} // namespace kel::sim
