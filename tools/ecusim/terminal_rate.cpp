// Reads the rate with the kernel's termios2 record, which carries any bit rate; it cannot share a
// translation unit with <termios.h>.  On a pseudo-terminal's master the kernel answers with the
// slave's settings, which are the ones the tester made.
#include "terminal_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace m797::ecusim {

std::optional<unsigned> TerminalBitRate(int fd) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return std::nullopt;
  return tio.c_ospeed;
}

}  // namespace m797::ecusim
