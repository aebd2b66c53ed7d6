#pragma once

#include "serial/serial_device.h"

namespace m797::serial {

// Writes the terminal settings that the record describes, built from zero: raw mode, the
// receiver on, modem-control lines ignored, with the rate (any rate, 10400 included), character
// format, parity check, software flow control and XON/XOFF characters of the record.  Hardware
// flow control in one direction only, which termios cannot do, is refused with EINVAL.  Returns
// 0 or the errno.
int ApplyTermiosSettings(int fd, const TSerLineSettings& settings);

}  // namespace m797::serial
