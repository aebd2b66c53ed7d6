#pragma once

#include <cstdint>

namespace m797::session {

// The two clocks the session waits on, and a way to sleep on them.  Tests substitute a simulated
// clock.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some start; 32 bits, wraps around.
  virtual std::uint32_t TickCount() = 0;
  // The high-resolution counter and its frequency in counts per second.
  virtual std::int64_t PerformanceFrequency() = 0;
  virtual std::int64_t PerformanceCounter() = 0;
  // Blocks the calling thread, without using the CPU, until shortly before the high-resolution
  // counter reaches `counter`: a last stretch remains that covers how late the scheduler may
  // wake the thread, for the caller to poll.  Returns at once when that point has passed.  For
  // the waits whose precision matters more than the CPU time of that stretch.
  virtual void SleepUntilShortlyBefore(std::int64_t counter) = 0;
  // Lets time pass until the high-resolution counter is past `counter`, without using the CPU,
  // and returns no earlier.  The session's millisecond pauses go through here: a clock of a
  // program with windows keeps its event loop running meanwhile, so that the windows paint and
  // answer while the session pauses.
  virtual void PassTimeUntil(std::int64_t counter) = 0;
  // Keeps the calling thread running, ahead of the machine's other work, from BeginTimeCritical
  // to EndTimeCritical, where the system allows it: for the few milliseconds whose timing the
  // controller measures, never for a pause.  Where it is not allowed the thread runs as before.
  // A clock that holds nothing leaves both as they are.  Take them through TimeCriticalSpan.
  virtual void BeginTimeCritical() {}
  virtual void EndTimeCritical() {}
};

}  // namespace m797::session
