#pragma once
// The line faults that act on bytes during a file transfer, between the transfer and the
// port: some of the sensor's bytes altered or lost, the sender deaf to "C", and a send that
// is cancelled once a number of blocks has gone through. Outside a transfer it passes
// everything unchanged.

#include "serial/BytePort.h"

#include <QByteArray>
#include <atomic>
#include <random>

namespace kel::sim {

struct ByteFaults {
    double corruptPercent = 0;
    double dropPercent = 0;
    quint32 seed = 1;
    bool ignoreCrcRequest = false; // only while sending
    int cancelAfterBlock = 0;      // only while sending; 0: never
};

class FaultyPort : public serial::BytePort {
public:
    // stopRequest is what the transfer watches for a stop: setting it makes the sender cancel
    // the way it cancels any stop.
    FaultyPort(serial::BytePort& inner, const ByteFaults& faults, std::atomic<bool>& stopRequest);

    enum class Mode { Idle, Sending, Receiving };
    void setMode(Mode mode);
    // Whether the running or last send was cancelled by cancelAfterBlock.
    bool cancelledSend() const { return m_cancelled; }

    bool open(const serial::PortOptions& options, QString* error) override;
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }

    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override { m_inner.waitForMoreInput(ms); }

private:
    void pull();
    bool cancelsHere(const QByteArray& bytes);
    QByteArray damaged(const QByteArray& bytes);

    serial::BytePort& m_inner;
    ByteFaults m_faults;
    std::atomic<bool>& m_stopRequest;
    Mode m_mode = Mode::Idle;

    QByteArray m_input;
    std::mt19937 m_random;
    QByteArray m_lastPacket;
    int m_packets = 0;
    bool m_cancelled = false;
};

} // namespace kel::sim
