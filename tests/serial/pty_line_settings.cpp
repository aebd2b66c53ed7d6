// Reads the slave's settings through the master with the kernel's termios2 record, which
// carries any bit rate; it cannot share a translation unit with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <stdexcept>

#include "pty_master.h"

namespace m797::serial::testing {

PtyMaster::LineSettings PtyMaster::ReadLineSettings() const {
  struct termios2 tio;
  if (ioctl(fd_, TCGETS2, &tio) != 0) throw std::runtime_error("TCGETS2 failed");
  LineSettings s;
  s.input_speed = tio.c_ispeed;
  s.output_speed = tio.c_ospeed;
  switch (tio.c_cflag & CSIZE) {
    case CS5:
      s.data_bits = 5;
      break;
    case CS6:
      s.data_bits = 6;
      break;
    case CS7:
      s.data_bits = 7;
      break;
    default:
      s.data_bits = 8;
      break;
  }
  s.parity = (tio.c_cflag & PARENB) != 0;
  s.two_stop_bits = (tio.c_cflag & CSTOPB) != 0;
  s.raw = (tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 && (tio.c_oflag & OPOST) == 0 &&
          (tio.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP)) == 0;
  s.flow_control = (tio.c_cflag & CRTSCTS) != 0 || (tio.c_iflag & (IXON | IXOFF)) != 0;
  return s;
}

}  // namespace m797::serial::testing
