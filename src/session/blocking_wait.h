#pragma once

#include <cstdint>

#include "session/clock.h"

namespace m797::session {

// The session's timed waits.  Neither returns to the session before its time: the controller's
// timing depends on nothing of the session running in between.

// Waits until the millisecond tick counter has advanced by more than `milliseconds` since the
// call began, and the high-resolution counter until `milliseconds` + 1 have fully passed: a wait
// that begins late in a tick would otherwise end up to a millisecond early.  Correct across the
// 32-bit wrap of the tick counter.  The time passes through the clock's PassTimeUntil, which
// sleeps to the end (or runs a program's event loop), so the wait costs no CPU time.
void WaitTicksMoreThan(Clock& clock, std::uint32_t milliseconds);

// Waits until the high-resolution counter is greater than `deadline`: sleeps until shortly before
// and polls the last stretch, for the wake-up pattern's phases, whose precision matters most.
void WaitCounterPast(Clock& clock, std::int64_t deadline);

// The clock's time-critical span for as long as it lives: begun on construction, ended on
// destruction, also when an exception leaves the span.
class TimeCriticalSpan {
 public:
  explicit TimeCriticalSpan(Clock& clock) : clock_(clock) { clock_.BeginTimeCritical(); }
  ~TimeCriticalSpan() { clock_.EndTimeCritical(); }
  TimeCriticalSpan(const TimeCriticalSpan&) = delete;
  TimeCriticalSpan& operator=(const TimeCriticalSpan&) = delete;

 private:
  Clock& clock_;
};

}  // namespace m797::session
