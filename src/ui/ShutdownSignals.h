#pragma once
// Turns the operating system's requests to end the program (SIGTERM, SIGINT, SIGHUP: a task
// being ended, Ctrl-C, a closed session) into a signal on the event loop, so that the program
// ends through its own shutdown instead of being cut off. On Windows the end of the session
// (log off, shut down) is that request; the system ends the process soon after it has been
// told, so the signal is emitted while the session manager's message is handled.

#include <QObject>
#include <memory>

class QAbstractNativeEventFilter;
class QSocketNotifier;

namespace kel {

class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void requested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
    std::unique_ptr<QAbstractNativeEventFilter> m_sessionEnd; // Windows only
};

} // namespace kel
