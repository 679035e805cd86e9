#pragma once
// The main window's status bar: the result of the last operation in words, where the picture
// came from (also carried by the window title), and the port and line parameters in use.
// While a command waits for its reply, the bar says what it waits for and the cursor is busy.

#include "image/ImageDocument.h"
#include "sensor/CoreLine.h"

#include <QString>

class QLabel;
class QMainWindow;

namespace kel {

class MainStatus {
public:
    MainStatus(AppCore& core, QMainWindow& window);
    ~MainStatus();
    MainStatus(const MainStatus&) = delete;
    MainStatus& operator=(const MainStatus&) = delete;

    // The window's caption as the labels gave it: the base of every later title.
    void takeBaseTitle();
    const QString& baseTitle() const { return m_baseTitle; }

    // An empty text (an operation that did not run) leaves the last result standing.
    void showResult(const QString& text);
    // An operation has started: the previous one's result no longer describes the window.
    void clearResult();
    void showPicture(PictureOrigin origin, const QString& file = {});
    void showLine(const serial::LineConfig& line);

    // The busy cursor and the text for the length of a reply wait; every begin has its end.
    void beginWait(const QString& text);
    void endWait();
    bool waiting() const { return m_waits > 0; }

    QLabel* result = nullptr;
    QLabel* picture = nullptr;
    QLabel* port = nullptr;
    QLabel* readout = nullptr; // the pixel under the pointer
    QLabel* zoom = nullptr;

private:
    AppCore& m_core;
    QMainWindow& m_window;
    QString m_baseTitle;
    QString m_resultBeforeWait;
    int m_waits = 0;
};

// The line's notices of the main window: what CoreLineNotices tells, and reply waits shown on
// the status bar.
class WindowLineNotices : public CoreLineNotices {
public:
    explicit WindowLineNotices(AppCore& core) : CoreLineNotices(core), m_core(core) {}
    MainStatus* status = nullptr;

    void waitingForReply(const QString& command) override;
    void replyWaitEnded() override;

private:
    AppCore& m_core;
};

} // namespace kel
