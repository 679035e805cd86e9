#pragma once
// A serial line in virtual time. Two ports face each other; bytes written on one arrive at
// the other a little later, paced like a real line, optionally through a fault that drops or
// changes them. Time moves only when every participant is blocked in a wait, straight to the
// next thing that can happen, so a 130-second time-out takes no real time and the outcome does
// not depend on thread scheduling.
//
// A side is driven either by a thread that runs transfer code on its port (a participant), or
// by a peer callback that reacts to the bytes arriving there.

#include "serial/BytePort.h"
#include "serial/Clock.h"
#include "serial/InputQueue.h"

#include <QByteArray>
#include <QList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

namespace kel::test {

class SimulatedLine;

class SimPort : public serial::BytePort {
public:
    bool open(const serial::PortOptions& options, QString* error) override;
    void close() override;
    bool isOpen() const override;
    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;

    // Set by a test: opens, writes or reads (counting included) fail with this description.
    QString openFailure;
    QString writeFailure;
    QString readFailure;
    QList<serial::PortOptions> opens; // every successful open
    int discards = 0;

private:
    friend class SimulatedLine;
    SimPort(SimulatedLine& line, int side) : m_line(line), m_side(side) {}
    void requireOpen() const;
    void requireReadable() const;

    SimulatedLine& m_line;
    const int m_side;
    bool m_open = false;
    serial::InputQueue m_input;
    quint64 m_arrivals = 0;
};

class SimClock : public serial::Clock {
public:
    explicit SimClock(SimulatedLine& line) : m_line(line) {}
    quint32 milliseconds() override;
    void checkpoint() override;
    void sleep(int ms) override;

    std::function<void()> onYield;
    std::atomic<int> yields{0};

private:
    SimulatedLine& m_line;
};

class SimulatedLine {
public:
    // participants: threads that will run code on the ports; each calls finished() at its end.
    // clockStart: what the millisecond timer reads at time 0 (to test a wrap).
    explicit SimulatedLine(int participants = 1, quint32 clockStart = 0);
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;

    SimPort& port(int side) { return side == 0 ? m_port0 : m_port1; }
    quint64 now() const { return m_now; }
    quint32 clockStart() const { return m_clockStart; }

    // Bytes per millisecond each way (4 is about 38400 baud).
    int bytesPerMs = 4;
    // Called for every byte written on fromSide, with its index in that direction's stream:
    // nothing drops the byte, a value replaces it. Unset: every byte arrives as written.
    std::function<std::optional<char>(int fromSide, quint64 index, char byte)> fault;

    // A peer reacting to what arrives at side; it answers with send(). Runs with the line
    // locked, in the thread that moved time.
    void setPeer(int side, std::function<void(const QByteArray&)> onArrival);
    // Writes bytes from side as a peer does, delayMs after now.
    void send(int side, const QByteArray& bytes, quint64 delayMs = 0);
    // Runs action when time reaches at.
    void at(quint64 time, std::function<void()> action);

    // A participant thread has ended.
    void finished();
    // Lets time pass, for a test thread that is the only participant (bytes in flight arrive).
    void runFor(quint64 ms) { blockUntil(m_now + ms, nullptr); }

    struct Record {
        quint64 time;
        int fromSide;
        QByteArray bytes;
    };
    QList<Record> writes() const;           // everything written, as written
    QByteArray written(int fromSide) const; // one direction's stream, as written

private:
    friend class SimPort;
    friend class SimClock;
    struct Waiter {
        quint64 deadline;
        SimPort* port;
        quint64 arrivalMark;
        bool runnable = false;
    };

    void writeLocked(int fromSide, const QByteArray& bytes, quint64 delayMs);
    void blockUntil(quint64 deadline, SimPort* port);
    void advance();
    void deliver(int side, const QByteArray& bytes);

    std::recursive_mutex m_mutex;
    std::condition_variable_any m_wake;
    std::atomic<quint64> m_now{0};
    const quint32 m_clockStart;
    int m_running;
    QList<Waiter*> m_waiters;
    std::multimap<quint64, std::function<void()>> m_events;

    SimPort m_port0{*this, 0};
    SimPort m_port1{*this, 1};
    std::function<void(const QByteArray&)> m_peers[2];
    double m_lineFreeAt[2] = {0, 0};
    quint64 m_streamIndex[2] = {0, 0};
    QList<Record> m_writes;
};

} // namespace kel::test
