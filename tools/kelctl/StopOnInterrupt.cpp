#include "StopOnInterrupt.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace kelctl {

namespace {

std::atomic<bool>* g_stopFlag = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set from a signal handler");

#ifdef _WIN32

std::atomic<int> g_interrupts{0};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (g_stopFlag)
        g_stopFlag->store(true);
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        // A second Ctrl-C goes on to the default handler, which ends the program at once.
        return g_interrupts.fetch_add(1) == 0 ? TRUE : FALSE;
    default:
        // The console is being closed (or the session ends): the system ends the process as
        // soon as this returns, and after some seconds in any case. Until then the operation
        // stops as after Ctrl-C and the program exits through its own main.
        Sleep(INFINITE);
        return TRUE;
    }
}

#else

extern "C" void requestStop(int)
{
    if (g_stopFlag)
        g_stopFlag->store(true);
    std::signal(SIGINT, SIG_DFL);
}

#endif

} // namespace

StopOnInterrupt::StopOnInterrupt(std::atomic<bool>& flag)
{
    g_stopFlag = &flag;
#ifdef _WIN32
    g_interrupts = 0;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    std::signal(SIGINT, requestStop);
#endif
}

StopOnInterrupt::~StopOnInterrupt()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
#else
    std::signal(SIGINT, SIG_DFL);
#endif
    g_stopFlag = nullptr;
}

} // namespace kelctl
