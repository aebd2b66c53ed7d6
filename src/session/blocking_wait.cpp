#include "session/blocking_wait.h"

namespace m797::session {

void WaitTicksMoreThan(Clock& clock, std::uint32_t milliseconds) {
  const std::int64_t counter_deadline =
      clock.PerformanceCounter() + (milliseconds + 1) * clock.PerformanceFrequency() / 1000 - 1;
  const std::uint32_t start = clock.TickCount();
  // On a tick counter of millisecond resolution the tick has moved on far enough by the time the
  // high-resolution counter reaches its deadline, so the sleep aims at that deadline; the loop
  // still holds the wait for a tick counter that lags.
  clock.SleepUntilShortlyBefore(counter_deadline);
  while (static_cast<std::uint32_t>(clock.TickCount() - start) <= milliseconds) {
  }
  WaitCounterPast(clock, counter_deadline);
}

void WaitCounterPast(Clock& clock, std::int64_t deadline) {
  clock.SleepUntilShortlyBefore(deadline);
  while (clock.PerformanceCounter() <= deadline) {
  }
}

}  // namespace m797::session
