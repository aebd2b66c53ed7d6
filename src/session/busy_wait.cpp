#include "session/busy_wait.h"

namespace m797::session {

void BusyWaitTicksMoreThan(Clock& clock, std::uint32_t milliseconds) {
  const std::int64_t counter_deadline =
      clock.PerformanceCounter() + (milliseconds + 1) * clock.PerformanceFrequency() / 1000 - 1;
  const std::uint32_t start = clock.TickCount();
  while (static_cast<std::uint32_t>(clock.TickCount() - start) <= milliseconds) {
  }
  BusyWaitCounterPast(clock, counter_deadline);
}

void BusyWaitCounterPast(Clock& clock, std::int64_t deadline) {
  while (clock.PerformanceCounter() <= deadline) {
  }
}

}  // namespace m797::session
