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
  // wake the thread, for the caller to poll.  Returns at once when that point has passed.
  virtual void SleepUntilShortlyBefore(std::int64_t counter) = 0;
};

}  // namespace m797::session
