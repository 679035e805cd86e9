#pragma once

namespace kel::serial {

// Whether the open terminal device fd is a pseudo-terminal rather than a serial line. On a
// pseudo-terminal the line controls (DTR, parity, data bits) mean nothing and the kernel refuses
// some of them. Unix only; false where that cannot be told.
bool isPseudoTerminal(int fd);

} // namespace kel::serial
