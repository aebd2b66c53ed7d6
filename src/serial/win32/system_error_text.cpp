#include <windows.h>

#include <string>

#include "serial/ser_error.h"

namespace m797::serial {

std::string SystemErrorText(int code) {
  char buffer[256] = {};
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
  return TrimSystemText(std::string(buffer, length));
}

}  // namespace m797::serial
