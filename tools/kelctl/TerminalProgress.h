#pragma once
// The progress window of the GUI as one line on a terminal, rewritten in place: bytes so far,
// the share of the expected total when it is known, and the rate. Nothing at all when stderr
// is no terminal, so logs of scripts stay clean.

#include "serial/TransferView.h"

#include <QElapsedTimer>
#include <QString>

namespace kelctl {

class TerminalProgress : public kel::serial::TransferView {
public:
    explicit TerminalProgress(const kel::serial::TransferDisplay& display);
    ~TerminalProgress() override { end(); }

    // A new transfer: label names it, expectedBytes (0: unknown) sizes a receive.
    void begin(const QString& label, qint64 expectedBytes);
    // Ends the line of the transfer, if one was drawn.
    void end();

    void setReadText(const QString& text) override;
    void setProgress(qint64 value, qint64 maximum) override;

    // The line drawn for these figures (tests and the batch run use it too).
    static QString line(const QString& label, qint64 bytes, qint64 total, double seconds);

private:
    void draw(qint64 bytes, qint64 total);

    const kel::serial::TransferDisplay& m_display;
    bool m_enabled;
    bool m_shown = false;
    QString m_label;
    qint64 m_expected = 0;
    QElapsedTimer m_started;
    QElapsedTimer m_sinceDrawn;
};

} // namespace kelctl
