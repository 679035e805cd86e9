#pragma once
// The far end of a serial line played back from a fuzzer's bytes, in virtual time and on one
// thread: the code under test runs against it as against a real port, and every time-out
// passes at once.
//
// The peer's bytes come in bursts. A Streamed peer puts its whole stream on the line from the
// start, paced at bytesPerMs. An Answering peer puts out its first burst at the start and one
// more burst after each write of the code under test, as a device that answers every request
// does (or, when it does not speak first, one burst after each write only); burstSize decides how
// long each burst is from the bytes it begins with.

#include "serial/BytePort.h"
#include "serial/Clock.h"
#include "serial/InputQueue.h"

#include <QByteArray>
#include <QList>
#include <atomic>
#include <deque>
#include <functional>

namespace kel::fuzz {

class PlaybackLine : public serial::BytePort, public serial::Clock {
public:
    enum class Release { Streamed, Answering };

    struct Config {
        Release release = Release::Answering;
        int bytesPerMs = 1;         // Streamed: the pace of the line
        quint32 firstArrivalMs = 1; // when the peer's first byte can arrive
        quint32 clockStart = 0;     // what the millisecond timer reads at time 0
        qint64 hangUpAtMs = -1;     // from then on every port call fails; -1: never
        qint64 stopAtMs = -1;       // from then on the stop flag is set; -1: never
        // Answering: whether the first burst goes out at the start or waits for the first write.
        bool speaksFirst = true;
        // Answering: the length of the burst that starts with these bytes (at least 1).
        std::function<qsizetype(QByteArrayView rest)> burstSize;
    };

    PlaybackLine(QByteArray stream, Config config);

    // The operator's stop request that stopAtMs sets.
    void setStopFlag(std::atomic<bool>* flag) { m_stopFlag = flag; }

    // What the code under test wrote, one entry per write.
    const QList<QByteArray>& writes() const { return m_writes; }
    quint64 now() const { return m_now; }

    // ---- BytePort
    bool open(const serial::PortOptions& options, QString* error) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;

    // ---- Clock
    quint32 milliseconds() override { return m_config.clockStart + static_cast<quint32>(m_now); }
    void checkpoint() override { advance(0); }
    void sleep(int ms) override { advance(ms); }

private:
    void requireUsable() const;
    void advance(quint64 ms);
    void releaseBurst(quint64 at);

    const QByteArray m_stream;
    Config m_config;
    qsizetype m_released = 0; // bytes of the stream put on the line so far
    serial::BytesInFlight<quint64> m_inFlight;
    serial::InputQueue m_input; // arrived, not yet read
    QList<QByteArray> m_writes;
    quint64 m_now = 0;
    bool m_open = false;
    std::atomic<bool>* m_stopFlag = nullptr;
};

} // namespace kel::fuzz
