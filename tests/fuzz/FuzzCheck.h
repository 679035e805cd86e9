#pragma once
// The invariant check every fuzz target shares.

#include <cstdlib>

namespace kel::fuzz {

// Stops the run when an invariant does not hold, so that the fuzzer reports the input.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace kel::fuzz
