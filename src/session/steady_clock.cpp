#include "session/steady_clock.h"

#include <chrono>

namespace m797::session {

namespace {

std::chrono::steady_clock::duration SinceEpoch() {
  return std::chrono::steady_clock::now().time_since_epoch();
}

}  // namespace

std::uint32_t SteadyClock::TickCount() {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(SinceEpoch()).count());
}

std::int64_t SteadyClock::PerformanceFrequency() {
  return 1'000'000'000;
}

std::int64_t SteadyClock::PerformanceCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(SinceEpoch()).count();
}

}  // namespace m797::session
