#pragma once

#include <optional>

namespace m797::ecusim {

// The bit rate a terminal is set to, in bit/s; for the master of a pseudo-terminal, the rate its
// slave's user (the tester) set.  Nothing when it cannot be read.
std::optional<unsigned> TerminalBitRate(int fd);

}  // namespace m797::ecusim
