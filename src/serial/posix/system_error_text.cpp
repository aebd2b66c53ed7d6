#include <cstring>
#include <string>

#include "serial/ser_error.h"

namespace m797::serial {

std::string SystemErrorText(int code) {
  char buffer[256] = {};
  // The GNU strerror_r returns the text, which may or may not be the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  return TrimSystemText(text ? std::string(text) : std::string());
}

}  // namespace m797::serial
