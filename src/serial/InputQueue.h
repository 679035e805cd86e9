#pragma once
// The input a byte port keeps for itself: bytes that have arrived and wait to be read, and
// bytes on their way whose moment of arrival is known (a paced or played-back line). Every
// port that is not a real device buffers its input this way.

#include <QByteArray>
#include <deque>
#include <optional>
#include <utility>

namespace kel::serial {

class InputQueue {
public:
    void append(const QByteArray& bytes) { m_ready += bytes; }
    void append(char byte) { m_ready += byte; }

    qint64 size() const { return m_ready.size(); }
    void clear() { m_ready.clear(); }
    // Everything buffered, at once.
    QByteArray takeAll() { return std::exchange(m_ready, QByteArray()); }
    // Exactly count bytes when at least that many are buffered, else everything buffered.
    QByteArray take(qint64 count)
    {
        QByteArray head = m_ready.left(count);
        m_ready.remove(0, head.size());
        return head;
    }

private:
    QByteArray m_ready;
};

// Bytes that arrive at known moments, in the order of those moments.
template <typename Time> class BytesInFlight {
public:
    void add(Time arrival, char byte) { m_bytes.emplace_back(arrival, byte); }
    // Moves every byte that has arrived by now into input.
    void releaseInto(InputQueue& input, Time now)
    {
        while (!m_bytes.empty() && m_bytes.front().first <= now) {
            input.append(m_bytes.front().second);
            m_bytes.pop_front();
        }
    }
    // When the next byte arrives; nothing while none is on its way.
    std::optional<Time> nextArrival() const
    {
        if (m_bytes.empty())
            return std::nullopt;
        return m_bytes.front().first;
    }
    void clear() { m_bytes.clear(); }

private:
    std::deque<std::pair<Time, char>> m_bytes;
};

} // namespace kel::serial
