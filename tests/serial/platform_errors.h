#pragma once

#include <string>
#include <string_view>

#include "serial/ser_error.h"
#ifdef _WIN32
#include "under_wine.h"
#endif

namespace m797::serial::testing {

// The platform error codes that the tests provoke.  On Windows they are Wine's on a
// pseudo-terminal where Wine differs from Windows' own serial driver.
#ifdef _WIN32
inline constexpr int kBusyError = 5;  // ERROR_ACCESS_DENIED: a port another opener holds
// A line the device refuses: ERROR_NOT_SUPPORTED from Wine, ERROR_INVALID_PARAMETER on Windows.
inline int BadSettingError() {
  return m797::testing::RunningUnderWine() ? 50 : 87;
}
// A hung-up terminal: waits for line events and writes find the device not ready
// (ERROR_NOT_READY).
inline constexpr int kHungUpError = 21;
#else
inline constexpr int kBusyError = 16;  // EBUSY
inline int BadSettingError() {
  return 22;  // EINVAL
}
inline constexpr int kHungUpError = 5;  // EIO
#endif

// A message template filled with a code and the system's text for it, as the component fills it.
inline std::string CommMessage(std::string_view templ, int code) {
  return FillTemplate(templ, {std::to_string(code), SystemErrorText(code)});
}

}  // namespace m797::serial::testing
