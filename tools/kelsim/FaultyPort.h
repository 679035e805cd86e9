#pragma once
// The line faults that act on bytes during a file transfer, between the transfer and the
// port: some of the sensor's bytes altered or lost, some of the PC's bytes lost on the way in,
// the sender deaf to "C", a send that is cancelled once a number of blocks has gone through,
// and the line closed in the middle of a transfer. Outside a transfer it passes everything
// unchanged.
//
// A hang-up closes the pseudo-terminal, as pulling the cable of a USB adapter removes the
// device under the PC's open port; every later call fails with PortError.

#include "serial/BytePort.h"
#include "serial/InputQueue.h"

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
    double losePercent = 0;        // of the bytes received during a transfer
    qint64 hangUpAfterBytes = 0;   // bytes sent and received in one transfer; 0: never
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
    // Closes the line for good; the calls that follow throw PortError.
    void hangUp();
    bool hungUp() const { return m_hungUp; }

    bool open(const serial::PortOptions& options, QString* error) override;
    void close() override { m_inner.close(); }
    bool isOpen() const override { return !m_hungUp && m_inner.isOpen(); }

    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;

private:
    void requireLine() const;
    // Counts bytes of a transfer; true once the hang-up limit is reached.
    bool countTowardsHangUp(qsizetype bytes);
    void pull();
    bool cancelsHere(const QByteArray& bytes);
    QByteArray damaged(const QByteArray& bytes);

    serial::BytePort& m_inner;
    ByteFaults m_faults;
    std::atomic<bool>& m_stopRequest;
    Mode m_mode = Mode::Idle;

    serial::InputQueue m_input;
    std::mt19937 m_random;
    std::mt19937 m_loseRandom; // apart, so that losing bytes leaves the other choices as they were
    qint64 m_transferBytes = 0;
    bool m_hungUp = false;
    QByteArray m_lastPacket;
    int m_packets = 0;
    bool m_cancelled = false;
};

} // namespace kel::sim
