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

  struct termios2 tio;
  if (ioctl(fd, TCGETS2, &tio) != 0) return errno;

  tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | INPCK | IUCLC | IMAXBEL);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~(CBAUD | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= BOTHER | size | parity | CREAD | CLOCAL;
  tio.c_cflag &= ~(CBAUD << IBSHIFT);
  tio.c_cflag |= BOTHER << IBSHIFT;
  tio.c_ispeed = settings.baud_rate;
  tio.c_ospeed = settings.baud_rate;
  if (settings.stop_bits != 0) tio.c_cflag |= CSTOPB;

  const std::uint32_t flags = settings.flags;
  const std::uint32_t rts_control = (flags >> kDcbRtsControlShift) & 3;
  if ((flags & kDcbOutxCtsFlow) || rts_control == 2) tio.c_cflag |= CRTSCTS;
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
