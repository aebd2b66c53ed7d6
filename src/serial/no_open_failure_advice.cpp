#include "serial/serial_device.h"

namespace m797::serial {

// The Windows messages for a failed open say all there is to say.
std::string OpenFailureAdvice(const std::string&, int) {
  return {};
}

}  // namespace m797::serial
