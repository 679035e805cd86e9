#pragma once
// The one owner of the serial line. The port, the command exchanges and the transfers run on
// the owner's thread, one request at a time, in the order they were made; the thread that
// made the owner (the window's) sends requests and hears back through its own event loop: the
// line's notices, the progress of a transfer and each request's end arrive there in the order
// the line produced them. No request can run in the middle of another, so a timer's reading
// during a transfer waits for it by construction, and the line never handles window events.
//
// Stopping is the one request that does not queue: it sets blnStop, which the running
// transfer sees at its next wait. Closing (the program's shutdown) stops what runs, drops what
// is queued, runs one last request (ending a measurement), refuses everything after it and
// tells when the line has gone quiet.
//
// A request owns its data: a job hands its result back through state it shares with the
// request (call), never through its caller's frame, and waiting for a request (run, call)
// never ends before the request has, even when the program is told to end meanwhile.

#include "serial/BytePort.h"
#include "serial/Clock.h"
#include "serial/LineConfig.h"
#include "serial/LineNotices.h"
#include "serial/SerialLink.h"

#include <QEventLoop>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace kel::sensor {

class LineOwner : public QObject {
    Q_OBJECT
public:
    using Job = std::function<void(serial::SerialLink&)>;
    using PortFactory = std::function<std::unique_ptr<serial::BytePort>()>;

    // notices hears the line's reports on this object's thread; the port is made on the line's
    // thread by makePort, since a port may belong to the thread that made it.
    LineOwner(serial::LineNotices& notices, PortFactory makePort,
              std::unique_ptr<serial::Clock> clock, QObject* parent = nullptr);
    // Stops what runs and waits for the line's thread to end.
    ~LineOwner() override;
    LineOwner(const LineOwner&) = delete;
    LineOwner& operator=(const LineOwner&) = delete;

    // The port and line parameters that requests made from now on open the port with.
    void setLine(const serial::LineConfig& line) { m_line = line; }
    const serial::LineConfig& line() const { return m_line; }

    // Queues job behind every request made before. done runs on this object's thread once the
    // job has ended and its notices were told; ran is false when the job was dropped unrun
    // because the owner closed. False, queueing nothing, once the owner is closed.
    bool post(Job job, std::function<void(bool ran)> done = {});

    // Queues job and waits for its end while this thread's events are handled (paints,
    // timers, a shutdown request; user input only when flags allow it). True when it ran.
    // Returns only once the job has ended on the line: should the event loop be told to end
    // first (the program ends), it then waits without handling events, within the job's own
    // time-out.
    bool run(Job job, QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents);

    // run for a job with a result: the result lives with the request until the job has ended,
    // and is empty when the job did not run.
    template <typename Result>
    std::optional<Result>
    call(std::function<Result(serial::SerialLink&)> job,
         QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents)
    {
        auto result = std::make_shared<std::optional<Result>>();
        const bool ran = run([job = std::move(job),
                              result](serial::SerialLink& link) { result->emplace(job(link)); },
                             flags);
        if (!ran)
            return std::nullopt;
        return std::move(*result);
    }

    // The running transfer ends at its next wait. The request stands until clearStop.
    void requestStop();
    // A new operation starts with no stop request.
    void clearStop();
    bool stopRequested() const;

    // Nothing is queued or running, and every request's end has been told.
    bool idle() const { return m_pending == 0; }
    // A handler waits in run or call: it goes on with the line once its wait ends, so a timed
    // request must not slip in between its requests.
    bool waiting() const { return m_waiting > 0; }

    // Stops the running request, drops the queued ones, queues last (when set) and refuses
    // every request after it. drained() follows once the line is idle.
    void close(Job last = {});
    bool closed() const { return m_closed; }

    // The line's clock; its time may be read on any thread.
    serial::Clock& clock();
    // What the command exchanges and transfers report to, on this object's thread.
    serial::LineNotices& notices() { return m_notices; }

signals:
    // The owner is closed and its last request has ended.
    void drained();

private:
    struct State;
    struct Request;
    class Relay;

    bool enqueue(Job job, std::function<void(bool ran)> done, std::shared_ptr<Request> request);
    void finished(bool ran, const std::function<void(bool)>& done);

    serial::LineNotices& m_notices;
    serial::LineConfig m_line;
    std::optional<serial::ReceiveCaption> m_caption;
    std::shared_ptr<State> m_state;
    QThread* m_thread = nullptr;
    QObject* m_worker = nullptr; // lives on the line's thread; requests are queued to it
    int m_pending = 0;
    int m_waiting = 0; // handlers inside run
    bool m_closed = false;
    quint64 m_generation = 0; // requests of an older generation are dropped unrun
};

} // namespace kel::sensor
