#pragma once
// Whether a standard stream is a terminal: progress is drawn only for a person watching.

#include <cstdio>

namespace kelctl {

bool isTerminal(std::FILE* stream);

} // namespace kelctl
