#pragma once

#include <chrono>

#include "session/clock.h"
#include "session/time_critical_thread.h"

namespace m797::session {

// The real clocks: a monotonic millisecond tick (wrapping at 32 bits) and a nanosecond counter,
// both on std::chrono::steady_clock.
class SteadyClock final : public Clock {
 public:
  // How long before a deadline a sleep ends, leaving the rest to polling.  A sleeping thread
  // typically wakes 0.1 to 0.2 ms late (sleep_lateness_bench: median and 90th percentile, under
  // light and heavy load alike), which this covers tenfold.  Wake-ups that wait for a busy core
  // come 3 to 25 ms late; no stretch worth its CPU time covers them, and a longer poll makes it
  // likelier that the scheduler preempts the polling thread right at the deadline.
  //
  // Windows wakes sleeping threads on its timer tick, 15.6 ms by default, so there the sleep
  // stops a whole tick and a little before the deadline.
#ifdef _WIN32
  static constexpr std::chrono::microseconds kLastStretch{17000};
#else
  static constexpr std::chrono::microseconds kLastStretch{2000};
#endif

  std::uint32_t TickCount() override;
  std::int64_t PerformanceFrequency() override;
  std::int64_t PerformanceCounter() override;
  void SleepUntilShortlyBefore(std::int64_t counter) override;
  // Sleeps until the counter is past `counter`.  A sleep on Linux ends at the point asked for or
  // a little after, never before; Windows wakes on its timer tick, so there the sleep stops short
  // and the last stretch is polled, as in SleepUntilShortlyBefore.
  void PassTimeUntil(std::int64_t counter) override;
  // The calling thread in the system's time-critical class (TimeCriticalThread).  Where the
  // system refuses, the first refusal in the process is said once on standard error, and the
  // thread runs as before.
  void BeginTimeCritical() override;
  void EndTimeCritical() override;

 private:
  TimeCriticalThread time_critical_;
  bool raised_ = false;  // by the current span; the span's thread alone touches it
};

}  // namespace m797::session
