#pragma once
// A serial link on a simulated line: the application core with English texts, a scripted
// prompter, side 0 of the line as the port and a view that records what it is shown.

#include "core/AppCore.h"
#include "serial/SerialLink.h"
#include "support/ScriptedPrompter.h"
#include "support/SimulatedLine.h"
#include "support/TempAppDir.h"

#include <QStringList>

namespace kel::test {

class RecordingView : public serial::TransferView {
public:
    void setReadText(const QString& text) override { readTexts.append(text); }
    void setProgress(qint64 value, qint64 maximum) override
    {
        values.append(value);
        maximum_ = maximum;
    }
    QStringList readTexts;
    QList<qint64> values;
    qint64 maximum_ = -1;
};

struct SimulatedLink {
    explicit SimulatedLink(SimulatedLine& line, int side = 0);

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core;
    SimClock clock;
    serial::SerialLink link;
    RecordingView view;

    SimPort& port() { return static_cast<SimPort&>(link.MSComm1); }
    // Opens the port and holds it for the XMODEM functions, as the transfer wrappers do.
    void holdOpenPort();
};

} // namespace kel::test
