#pragma once

#include "serial/serial_device.h"

namespace m797::serial {

// Puts the terminal into raw mode with the rate, character format and flow control of the
// record; any rate, 10400 included.  Returns 0 or the errno.
int ApplyTermiosSettings(int fd, const TSerLineSettings& settings);

}  // namespace m797::serial
