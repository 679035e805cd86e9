#include "TerminalProgress.h"
#include "Terminal.h"

#include <cstdio>

namespace kelctl {

namespace {

constexpr qint64 kRedrawMs = 100;

} // namespace

TerminalProgress::TerminalProgress(const kel::serial::TransferDisplay& display)
    : m_display(display), m_enabled(isTerminal(stderr))
{
}

void TerminalProgress::begin(const QString& label, qint64 expectedBytes)
{
    end();
    m_label = label;
    m_expected = expectedBytes;
    m_started.start();
    m_sinceDrawn.invalidate();
}

void TerminalProgress::end()
{
    if (m_shown)
        std::fputc('\n', stderr);
    m_shown = false;
}

void TerminalProgress::setReadText(const QString& text)
{
    Q_UNUSED(text); // the language file's caption; the figures come from the display
    draw(m_display.readPosition() - 1, m_expected);
}

void TerminalProgress::setProgress(qint64 value, qint64 maximum)
{
    draw(value, maximum);
}

QString TerminalProgress::line(const QString& label, qint64 bytes, qint64 total, double seconds)
{
    QString text = label.isEmpty() ? QString() : label + QStringLiteral(": ");
    text += total > 0 ? QStringLiteral("%1 / %2 bytes  %3 %")
                            .arg(bytes)
                            .arg(total)
                            .arg(qMin<qint64>(100, bytes * 100 / total), 3)
                      : QStringLiteral("%1 bytes").arg(bytes);
    if (seconds > 0)
        text += QStringLiteral("  %1 KiB/s").arg(double(bytes) / 1024.0 / seconds, 0, 'f', 1);
    return text;
}

void TerminalProgress::draw(qint64 bytes, qint64 total)
{
    if (!m_enabled || (m_sinceDrawn.isValid() && m_sinceDrawn.elapsed() < kRedrawMs))
        return;
    const double seconds = m_started.isValid() ? m_started.elapsed() / 1000.0 : 0.0;
    std::fprintf(stderr, "\r%s\033[K",
                 line(m_label, bytes, total, seconds).toLocal8Bit().constData());
    std::fflush(stderr);
    m_shown = true;
    m_sinceDrawn.start();
}

} // namespace kelctl
