#pragma once
// Ctrl-C is the stop button: the first one sets the stop flag, which a transfer sees at its
// next wait (it then cancels and releases the port) and every operation looks at between its
// steps. A second Ctrl-C ends the program at once, for an operator who cannot wait. On Windows
// closing the console window stops the operation the same way before the system ends the program.

#include <atomic>

namespace kelctl {

class StopOnInterrupt {
public:
    explicit StopOnInterrupt(std::atomic<bool>& flag);
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;
};

} // namespace kelctl
