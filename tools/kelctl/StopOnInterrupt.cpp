#include "StopOnInterrupt.h"

#include <csignal>

namespace kelctl {

namespace {

std::atomic<bool>* g_stopFlag = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set from a signal handler");

extern "C" void requestStop(int)
{
    if (g_stopFlag)
        g_stopFlag->store(true);
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

StopOnInterrupt::StopOnInterrupt(std::atomic<bool>& flag)
{
    g_stopFlag = &flag;
    std::signal(SIGINT, requestStop);
}

StopOnInterrupt::~StopOnInterrupt()
{
    std::signal(SIGINT, SIG_DFL);
    g_stopFlag = nullptr;
}

} // namespace kelctl
