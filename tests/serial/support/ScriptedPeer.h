#pragma once
// The other end of a conversation, written down in advance: what it expects to receive next
// and what it answers. Bytes that do not match the next expectation are kept as a mismatch
// for the test to report.

#include "support/SimulatedLine.h"

#include <QByteArray>
#include <QString>
#include <deque>

namespace kel::test {

class ScriptedPeer {
public:
    ScriptedPeer(SimulatedLine& line, int side);

    // Sends bytes at the start (or, after on(), as the answer to what was expected).
    ScriptedPeer& send(const QByteArray& bytes, quint64 delayMs = 0);
    // Expects bytes next; the sends that follow answer them.
    ScriptedPeer& on(const QByteArray& bytes);

    bool finished() const { return m_steps.empty(); }
    // What arrived that the script did not expect, and the rest of the script; "" when the
    // conversation went as written.
    QString mismatch() const;

private:
    struct Step {
        QByteArray expect; // empty: send as soon as the step before is done
        QByteArray reply;
        quint64 delayMs = 0;
    };
    void onArrival(const QByteArray& bytes);
    void runReadySteps();

    SimulatedLine& m_line;
    const int m_side;
    std::deque<Step> m_steps;
    QByteArray m_received;
    QByteArray m_unexpected;
    bool m_started = false;
};

} // namespace kel::test
