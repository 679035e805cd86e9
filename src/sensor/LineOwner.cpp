#include "sensor/LineOwner.h"

#include <QPointer>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>

namespace kel::sensor {

// Tells the owner's thread what the line reports, in order. While the owner is closing no box
// may come up, so messages are dropped then; the reply waits still reach the status bar.
class LineOwner::Relay : public serial::LineNotices {
public:
    explicit Relay(LineOwner& owner) : m_owner(owner) {}

    bool showMessage(serial::LineMessage message, const QString& detail, QString*) override
    {
        tell([message, detail](serial::LineNotices& to) { to.showMessage(message, detail); });
        return true;
    }
    void showPortFailure(const QString& description) override
    {
        tell([description](serial::LineNotices& to) { to.showPortFailure(description); });
    }
    void showWriteFailure(const QString& path, const QString& reason) override
    {
        tell([path, reason](serial::LineNotices& to) { to.showWriteFailure(path, reason); });
    }
    void showWarning(const QString& text) override
    {
        tell([text](serial::LineNotices& to) { to.showWarning(text); });
    }
    serial::ReceiveCaption receiveCaption() override { return caption; }
    void waitingForReply(const QString& command) override
    {
        forward([command](serial::LineNotices& to) { to.waitingForReply(command); });
    }
    void replyWaitEnded() override
    {
        forward([](serial::LineNotices& to) { to.replyWaitEnded(); });
    }

    serial::ReceiveCaption caption; // set on the line's thread before each request
    std::atomic<bool> quiet{false};

private:
    void tell(std::function<void(serial::LineNotices&)> notice)
    {
        if (!quiet)
            forward(std::move(notice));
    }
    void forward(std::function<void(serial::LineNotices&)> notice)
    {
        LineOwner* owner = &m_owner;
        QMetaObject::invokeMethod(
            owner, [owner, notice = std::move(notice)] { notice(owner->m_notices); },
            Qt::QueuedConnection);
    }

    LineOwner& m_owner;
};

struct LineOwner::State {
    std::unique_ptr<serial::Clock> clock;
    std::unique_ptr<serial::BytePort> port; // made and destroyed on the line's thread
    std::unique_ptr<Relay> relay;
    std::optional<serial::SerialLink> link;
    std::atomic<quint64> generation{0};
};

// The end of one request as the line's thread sees it, for a caller that cannot wait for the
// queued report of it any more.
struct LineOwner::Request {
    void end(bool hasRun)
    {
        {
            std::lock_guard lock(mutex);
            ended = true;
            ran = hasRun;
        }
        endedOnLine.notify_all();
    }
    bool waitForEnd()
    {
        std::unique_lock lock(mutex);
        endedOnLine.wait(lock, [this] { return ended; });
        return ran;
    }

    std::mutex mutex;
    std::condition_variable endedOnLine;
    bool ended = false;
    bool ran = false;
};

LineOwner::LineOwner(serial::LineNotices& notices, PortFactory makePort,
                     std::unique_ptr<serial::Clock> clock, QObject* parent)
    : QObject(parent), m_notices(notices), m_state(std::make_shared<State>())
{
    m_state->clock = std::move(clock);
    m_state->relay = std::make_unique<Relay>(*this);

    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("line"));
    m_worker = new QObject;
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
    QMetaObject::invokeMethod(
        m_worker, [state = m_state, &makePort] { state->port = makePort(); },
        Qt::BlockingQueuedConnection);
    m_state->link.emplace(*m_state->relay, *m_state->port, *m_state->clock);
}

LineOwner::~LineOwner()
{
    // A closed owner has dropped its queue already and keeps its last request: it runs before
    // the port goes, whatever still runs ahead of it.
    if (!m_closed) {
        ++m_generation;
        m_state->generation = m_generation;
        requestStop();
    }
    m_state->relay->quiet = true;
    // The port goes on the thread that made it, after whatever request still runs.
    QMetaObject::invokeMethod(
        m_worker,
        [state = m_state] {
            state->link.reset();
            state->port.reset();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_thread->wait();
}

void LineOwner::requestStop()
{
    m_state->link->blnStop = true;
}

void LineOwner::clearStop()
{
    m_state->link->blnStop = false;
}

bool LineOwner::stopRequested() const
{
    return m_state->link->blnStop;
}

serial::Clock& LineOwner::clock()
{
    return *m_state->clock;
}

bool LineOwner::post(Job job, std::function<void(bool ran)> done)
{
    return enqueue(std::move(job), std::move(done), nullptr);
}

bool LineOwner::enqueue(Job job, std::function<void(bool ran)> done,
                        std::shared_ptr<Request> request)
{
    if (m_closed)
        return false;
    ++m_pending;
    if (!m_caption) // the language is fixed for a run: its words are read once
        m_caption = m_notices.receiveCaption();
    QPointer<LineOwner> owner(this);
    QMetaObject::invokeMethod(
        m_worker,
        [state = m_state, owner, job = std::move(job), done = std::move(done), line = m_line,
         caption = *m_caption, generation = m_generation, request = std::move(request)] {
            bool ran = false;
            if (generation == state->generation) {
                state->link->line = line;
                state->relay->caption = caption;
                try {
                    job(*state->link);
                } catch (const std::exception& failure) {
                    // Nothing on the line is expected to throw; what did must not end the
                    // line's thread, and the operator hears of it.
                    state->relay->showPortFailure(QString::fromLocal8Bit(failure.what()));
                }
                ran = true;
            }
            if (request)
                request->end(ran);
            QMetaObject::invokeMethod(
                owner, [owner, ran, done] { owner->finished(ran, done); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return true;
}

void LineOwner::finished(bool ran, const std::function<void(bool)>& done)
{
    if (done)
        done(ran);
    --m_pending;
    if (m_closed && m_pending == 0)
        emit drained();
}

bool LineOwner::run(Job job, QEventLoop::ProcessEventsFlags flags)
{
    struct Wait {
        bool ended = false;
        bool ran = false;
        QEventLoop* loop = nullptr;
    };
    auto wait = std::make_shared<Wait>();
    auto request = std::make_shared<Request>();
    const bool queued = enqueue(
        std::move(job),
        [wait](bool ran) {
            wait->ended = true;
            wait->ran = ran;
            if (wait->loop)
                wait->loop->quit();
        },
        request);
    if (!queued)
        return false;
    QEventLoop loop;
    wait->loop = &loop;
    ++m_waiting;
    if (!wait->ended)
        loop.exec(flags);
    --m_waiting;
    wait->loop = nullptr;
    if (wait->ended)
        return wait->ran;
    // Once the program is told to end, an event loop returns at once: the job is still on the
    // line, and what it was handed must stay alive until it ends.
    return request->waitForEnd();
}

void LineOwner::close(Job last)
{
    if (m_closed)
        return;
    ++m_generation;
    m_state->generation = m_generation;
    m_state->relay->quiet = true;
    requestStop();
    if (last) {
        // The last request runs with no stop standing: the stop was meant for the transfer.
        post([last = std::move(last)](serial::SerialLink& link) {
            link.blnStop = false;
            last(link);
        });
    }
    m_closed = true;
    if (m_pending == 0)
        emit drained();
}

} // namespace kel::sensor
