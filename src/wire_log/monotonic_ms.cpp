#include "wire_log/monotonic_ms.h"

#include <chrono>

namespace m797::wire_log {

double MonotonicMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double, std::milli>(now).count();
}

}  // namespace m797::wire_log
