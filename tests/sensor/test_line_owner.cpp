// The line's one owner: requests one at a time on its thread, what they report back on the
// window's thread in order, and the shutdown's stop, drop and last request.

#include "sensor/LineOwner.h"
#include "serial/SystemClock.h"

#include <QStringList>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::serial;

namespace {

// A port no request here opens.
class UnusedPort : public BytePort {
public:
    bool open(const PortOptions&, QString* error) override
    {
        *error = QStringLiteral("unused");
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    qint64 bytesAvailable() override { return 0; }
    void discardInput() override {}
    QByteArray readAll() override { return {}; }
    QByteArray read(qint64) override { return {}; }
    void write(const QByteArray&) override {}
    void waitForMoreInput(int) override {}
};

class RecordingNotices : public SilentNotices {
public:
    bool showMessage(LineMessage, const QString& detail, QString*) override
    {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        events << QStringLiteral("notice ") + detail;
        return true;
    }
    QStringList events;
};

class LineOwnerTest : public ::testing::Test {
protected:
    sensor::LineOwner::Job reporting(const QString& name)
    {
        return [this, name](SerialLink& link) {
            ranOn << QThread::currentThread();
            if (++running > 1)
                overlapped = true;
            QThread::msleep(20);
            link.notices.showMessage(LineMessage::NoReply, name);
            --running;
        };
    }
    std::function<void(bool)> recording(const QString& name)
    {
        return [this, name](bool ran) {
            notices.events << QStringLiteral("%1 %2").arg(ran ? "ran" : "dropped", name);
        };
    }

    RecordingNotices notices;
    sensor::LineOwner owner{notices, [] { return std::make_unique<UnusedPort>(); },
                            std::make_unique<SystemClock>()};
    QList<QThread*> ranOn;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
};

TEST_F(LineOwnerTest, requestsRunOneAtATimeOnTheLinesThreadAndReportBackInOrder)
{
    for (const char* name : {"a", "b", "c"})
        ASSERT_TRUE(owner.post(reporting(QLatin1String(name)), recording(QLatin1String(name))));
    EXPECT_FALSE(owner.idle());
    ASSERT_TRUE(QTest::qWaitFor([this] { return owner.idle(); }, 5000));

    EXPECT_EQ(notices.events,
              QStringList({"notice a", "ran a", "notice b", "ran b", "notice c", "ran c"}));
    EXPECT_FALSE(overlapped);
    ASSERT_EQ(ranOn.size(), 3);
    EXPECT_NE(ranOn.first(), qApp->thread());

    // A handler that waits for its request still hears its timers meanwhile.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(5);
    EXPECT_TRUE(owner.run([](SerialLink&) { QThread::msleep(100); }));
    EXPECT_GT(ticks, 0);
}

TEST_F(LineOwnerTest, closingStopsTheRunningRequestDropsTheQueuedOnesAndRunsTheLastAlone)
{
    std::atomic<bool> started{false};
    bool lastSawStop = true;
    owner.post(
        [&](SerialLink& link) {
            started = true;
            while (!link.blnStop) // a transfer's wait
                QThread::msleep(5);
            link.notices.showMessage(LineMessage::TransferTimeout, QStringLiteral("late"));
        },
        recording(QStringLiteral("transfer")));
    owner.post(reporting(QStringLiteral("queued")), recording(QStringLiteral("queued")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 5000));

    int drained = 0;
    QObject::connect(&owner, &sensor::LineOwner::drained, [&drained] { ++drained; });
    owner.close([&](SerialLink& link) { lastSawStop = link.blnStop; });
    EXPECT_FALSE(
        owner.post(reporting(QStringLiteral("after")), recording(QStringLiteral("after"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return drained > 0; }, 5000));

    EXPECT_EQ(notices.events, QStringList({"ran transfer", "dropped queued"}))
        << "no box once closing, nothing run after the close but the last request";
    EXPECT_FALSE(lastSawStop);
    EXPECT_EQ(drained, 1);
    EXPECT_TRUE(owner.idle());
}

// The program told to end while a handler waits: the wait still lasts until the job has ended,
// and the job's result comes back through the request.
TEST_F(LineOwnerTest, waitingForARequestOutlastsTheEndOfTheEventLoop)
{
    std::atomic<bool> jobEnded{false};
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    const std::optional<int> result = owner.call<int>([&](SerialLink&) {
        QThread::msleep(200);
        jobEnded = true;
        return 42;
    });
    EXPECT_TRUE(jobEnded);
    EXPECT_EQ(result, 42);
    QCoreApplication::processEvents(); // the loop's end request is spent
}

// An owner closed behind a request that is still running runs its last request before it goes.
TEST(LineOwnerEnd, aClosedOwnerRunsItsLastRequestEvenWhenDestroyedFirst)
{
    std::atomic<bool> lastRan{false};
    {
        SilentNotices notices;
        sensor::LineOwner owner{notices, [] { return std::make_unique<UnusedPort>(); },
                                std::make_unique<SystemClock>()};
        owner.post([](SerialLink&) { QThread::msleep(100); }); // a reply wait
        owner.close([&](SerialLink&) { lastRan = true; });
    }
    EXPECT_TRUE(lastRan);
}

} // namespace
