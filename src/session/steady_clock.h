#pragma once

#include <chrono>

#include "session/clock.h"

namespace m797::session {

// The real clocks: a monotonic millisecond tick (wrapping at 32 bits) and a nanosecond counter,
// both on std::chrono::steady_clock.
class SteadyClock final : public Clock {
 public:
  // How long before a deadline a sleep ends, leaving the rest to polling.  A sleeping thread
  // wakes typically 0.1 to 0.2 ms late, on a quiet as on a loaded machine (sleep_lateness_bench),
  // which this covers tenfold.  The rare wake-ups that wait for a busy core come 3 to 20 ms late;
  // no stretch worth its CPU time covers them, and a longer poll only makes it likelier that the
  // scheduler preempts the polling thread near the deadline.
  static constexpr std::chrono::microseconds kLastStretch{2000};

  std::uint32_t TickCount() override;
  std::int64_t PerformanceFrequency() override;
  std::int64_t PerformanceCounter() override;
  void SleepUntilShortlyBefore(std::int64_t counter) override;
};

}  // namespace m797::session
