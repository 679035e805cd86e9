#pragma once
// What a transfer shows in the progress window: the caption of lblRead (the running byte
// position of a receive), the value and maximum of ProgressBar1 (the bytes of a send), and the
// figures of either direction: bytes done, the total when it is known, rate and time left.
//
// The transfer engine keeps these values in TransferDisplay and hands them to the view only
// at the checkpoints of its waits, at most once a wait slice however often the values change;
// a view never sees a value that was overwritten before a checkpoint.

#include "serial/TransferRate.h"

#include <QString>
#include <optional>

namespace kel::serial {

// How far a transfer has come.
struct TransferFigures {
    qint64 done = 0;                      // bytes received or sent so far
    qint64 total = -1;                    // the bytes the transfer moves; -1 when not known
    std::optional<double> bytesPerSecond; // nothing until there is a rate to tell
    std::optional<qint64> secondsLeft;    // nothing without a total or a rate

    bool operator==(const TransferFigures&) const = default;
};

class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void setReadText(const QString& text) = 0;          // lblRead caption
    virtual void setProgress(qint64 value, qint64 maximum) = 0; // ProgressBar1
    // Views that tell no rate or time leave this out.
    virtual void setFigures(const TransferFigures& /*figures*/) {}
};

// The values behind the view, as the transfer functions set them.
class TransferDisplay {
public:
    // The receive caption is prefix, a space, the next file position, a space, suffix.
    void setReadCaption(const QString& prefix, const QString& suffix);
    void setReadPosition(qint64 nextPosition);
    QString readText() const;
    qint64 readPosition() const { return m_readPosition; } // counted from 1

    void setBarMaximum(qint64 maximum);
    void setBarValue(qint64 value);
    qint64 barMaximum() const { return m_barMaximum; }
    qint64 barValue() const { return m_barValue; }

    // The size the transfer will reach; -1 (the default) when it is not known beforehand.
    void setTotal(qint64 total);
    // bytes done so far at nowMs of the link's clock.
    void noteProgress(qint64 bytes, quint32 nowMs);
    TransferFigures figures() const;

    // A new progress window: no caption, bar at 0 of 0, no figures.
    void reset();

    // Hands what changed since the last call to view (nothing when view is null).
    void publish(TransferView* view);

private:
    QString m_readPrefix;
    QString m_readSuffix;
    qint64 m_readPosition = 0;
    bool m_readShown = false;
    bool m_readChanged = false;

    qint64 m_barMaximum = 0;
    qint64 m_barValue = 0;
    bool m_barChanged = false;

    qint64 m_total = -1;
    TransferRate m_rate;
    bool m_figuresChanged = false;
};

} // namespace kel::serial
