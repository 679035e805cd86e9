#pragma once
// The state of the serial subsystem in one place: the port control, the clock, the stop
// request and what the transfers show. The program has one; every command and transfer
// function takes it.
//
// Stopping a transfer: the transfer's waits look at blnStop on every slice (after
// Clock::checkpoint) and the transfer then ends with XM_STOPPED. The flag is atomic: the line
// runs on a thread of its own, and the window's stop button, a shutdown or a signal handler
// (Ctrl-C on a terminal) set it from theirs. Operations clear it before they start a transfer;
// nothing clears it when a transfer ends.

#include "serial/BlockObserver.h"
#include "serial/BytePort.h"
#include "serial/Clock.h"
#include "serial/LineConfig.h"
#include "serial/LineNotices.h"
#include "serial/LineSettings.h"
#include "serial/TransferView.h"

#include <atomic>
#include <optional>

namespace kel::serial {

constexpr int kWaitSliceMs = 10;

struct SerialLink {
    SerialLink(LineNotices& notices, BytePort& port, Clock& clock)
        : notices(notices), MSComm1(port), clock(clock)
    {
    }

    LineNotices& notices; // what the commands and transfers tell the operator
    BytePort& MSComm1;    // the program's one serial port
    Clock& clock;
    LineConfig line; // the port and line parameters every command and transfer opens with

    std::atomic<bool> blnStop{false};
    // The longest a transfer's wait sleeps on the port before it hands the display on and
    // looks at blnStop again.
    int waitSliceMs = kWaitSliceMs;

    // The progress window while one is shown; null otherwise.
    TransferView* view = nullptr;
    TransferDisplay display;
    // Follows each accepted block of a receive while one is set; null otherwise.
    BlockObserver* blockObserver = nullptr;
    // When the last receive acknowledged its sender's end, on the clock; the next command takes
    // it, to hear the sender's EOT again should that ACK have been lost (RepeatedEnd.h).
    std::optional<quint32> receiveEndedAt;

    // ---- Held by the transfer functions for the length of one transfer.
    BytePort* xmPort = nullptr; // the port the XMODEM functions work on (XmAttachPort)
    LineSettings xmLine;        // its line settings, set by XmOpenPort
};

// Hands the display to the view and passes the clock's checkpoint.
void checkpoint(SerialLink& link);

// A progress view and a block observer set on the link for one scope: the display starts
// afresh, and on every way out of the scope (an exception too) the last figures reach the
// view and the link points at neither any more.
class ShownOnLink {
public:
    ShownOnLink(SerialLink& link, TransferView* view, BlockObserver* observer) : m_link(link)
    {
        m_link.view = view;
        m_link.blockObserver = observer;
        m_link.display.reset();
    }
    ~ShownOnLink()
    {
        m_link.display.publish(m_link.view);
        m_link.view = nullptr;
        m_link.blockObserver = nullptr;
    }
    ShownOnLink(const ShownOnLink&) = delete;
    ShownOnLink& operator=(const ShownOnLink&) = delete;

private:
    SerialLink& m_link;
};

} // namespace kel::serial
