// Uses the kernel's termios2 record, which carries any bit rate; it cannot share a translation
// unit with <termios.h>.
#include "serial/posix/termios_settings.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace m797::serial {

namespace {

bool CharacterSize(std::uint8_t byte_size, tcflag_t& flag) {
  switch (byte_size) {
    case 5:
      flag = CS5;
      return true;
    case 6:
      flag = CS6;
      return true;
    case 7:
      flag = CS7;
      return true;
    case 8:
      flag = CS8;
      return true;
    default:
      return false;
  }
}

bool ParityFlags(std::uint8_t parity, tcflag_t& flags) {
  switch (parity) {
    case 0:
      flags = 0;
      return true;
    case 1:
      flags = PARENB | PARODD;
      return true;
    case 2:
      flags = PARENB;
      return true;
    case 3:
      flags = PARENB | CMSPAR | PARODD;
      return true;
    case 4:
      flags = PARENB | CMSPAR;
      return true;
    default:
      return false;
  }
}

}  // namespace

int ApplyTermiosSettings(int fd, const TSerLineSettings& settings) {
  tcflag_t size = 0;
  tcflag_t parity = 0;
  if (settings.baud_rate == 0 || !CharacterSize(settings.byte_size, size) ||
      !ParityFlags(settings.parity, parity) || settings.stop_bits > 2) {
    return EINVAL;
  }
  // Termios has one switch for hardware flow control in both directions: watching CTS before
  // sending and driving RTS for receiving.  One of them alone it cannot do.
  const std::uint32_t flags = settings.flags;
  const bool cts_flow = (flags & kDcbOutxCtsFlow) != 0;
  const bool rts_flow = ((flags >> kDcbRtsControlShift) & 3) == 2;
  if (cts_flow != rts_flow) return EINVAL;

  // Built from zero, never on top of the driver's current settings, so nothing that another
  // program left on the device carries over.  Raw: no echo, signals, canonical mode or
  // processing of input and output; the receiver on and the modem-control lines ignored.
  struct termios2 tio = {};
  tio.c_cflag = BOTHER | (BOTHER << IBSHIFT) | size | parity | CREAD | CLOCAL;
  if (settings.stop_bits != 0) tio.c_cflag |= CSTOPB;
  if (cts_flow) tio.c_cflag |= CRTSCTS;
  tio.c_ispeed = settings.baud_rate;
  tio.c_ospeed = settings.baud_rate;
  if (flags & kDcbOutX) tio.c_iflag |= IXON;
  if (flags & kDcbInX) tio.c_iflag |= IXOFF;
  if (flags & kDcbParity) tio.c_iflag |= INPCK;
  tio.c_cc[VSTART] = static_cast<cc_t>(settings.xon_char);
  tio.c_cc[VSTOP] = static_cast<cc_t>(settings.xoff_char);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;

  if (ioctl(fd, TCSETS2, &tio) != 0) return errno;
  return 0;
}

}  // namespace m797::serial
