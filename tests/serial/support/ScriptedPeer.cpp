#include "support/ScriptedPeer.h"

namespace kel::test {

ScriptedPeer::ScriptedPeer(SimulatedLine& line, int side) : m_line(line), m_side(side)
{
    line.setPeer(side, [this](const QByteArray& bytes) { onArrival(bytes); });
    // The sends before the first expectation go out at time 0.
    line.at(0, [this] {
        m_started = true;
        runReadySteps();
    });
}

ScriptedPeer& ScriptedPeer::send(const QByteArray& bytes, quint64 delayMs)
{
    if (!m_steps.empty() && m_steps.back().reply.isEmpty()) {
        m_steps.back().reply = bytes;
        m_steps.back().delayMs = delayMs;
    } else {
        m_steps.push_back({{}, bytes, delayMs});
    }
    return *this;
}

ScriptedPeer& ScriptedPeer::on(const QByteArray& bytes)
{
    m_steps.push_back({bytes, {}, 0});
    return *this;
}

void ScriptedPeer::onArrival(const QByteArray& bytes)
{
    m_received += bytes;
    runReadySteps();
}

void ScriptedPeer::runReadySteps()
{
    if (!m_started)
        return;
    while (!m_steps.empty()) {
        Step& step = m_steps.front();
        if (!step.expect.isEmpty()) {
            if (m_received.size() < step.expect.size()) {
                if (!step.expect.startsWith(m_received))
                    break; // reported by mismatch()
                return;
            }
            if (!m_received.startsWith(step.expect))
                break;
            m_received.remove(0, step.expect.size());
        }
        if (!step.reply.isEmpty())
            m_line.send(m_side, step.reply, step.delayMs);
        m_steps.pop_front();
    }
    if (m_steps.empty()) {
        m_unexpected += m_received;
        m_received.clear();
    }
}

QString ScriptedPeer::mismatch() const
{
    if (m_steps.empty() && m_unexpected.isEmpty())
        return {};
    QString text = QStringLiteral("received but not expected: %1")
                       .arg(QString::fromLatin1((m_unexpected + m_received).toHex(' ')));
    if (!m_steps.empty())
        text += QStringLiteral("; next expected: %1")
                    .arg(QString::fromLatin1(m_steps.front().expect.toHex(' ')));
    return text;
}

} // namespace kel::test
