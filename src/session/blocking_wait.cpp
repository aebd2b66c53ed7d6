#include "session/blocking_wait.h"

namespace m797::session {

void WaitTicksMoreThan(Clock& clock, std::uint32_t milliseconds) {
  // The tick is read first: a tick that steps between the two reads then cannot lengthen the
  // wait beyond the counter's deadline.
  const std::uint32_t start = clock.TickCount();
  const std::int64_t frequency = clock.PerformanceFrequency();
  const std::int64_t counter_deadline =
      clock.PerformanceCounter() + (milliseconds + 1) * frequency / 1000 - 1;
  // On a tick counter of millisecond resolution the tick has moved on far enough once the
  // high-resolution counter is past its deadline.  A tick that lags (a coarse system tick) is
  // waited for in steps of a tenth of a millisecond.
  clock.PassTimeUntil(counter_deadline);
  while (static_cast<std::uint32_t>(clock.TickCount() - start) <= milliseconds)
    clock.PassTimeUntil(clock.PerformanceCounter() + frequency / 10'000);
}

void WaitCounterPast(Clock& clock, std::int64_t deadline) {
  clock.SleepUntilShortlyBefore(deadline);
  while (clock.PerformanceCounter() <= deadline) {
  }
}

}  // namespace m797::session
