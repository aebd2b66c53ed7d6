#pragma once

#include <cstdint>

namespace m797::session {

// The two clocks the session busy-waits on.  Tests substitute a simulated clock.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some start; 32 bits, wraps around.
  virtual std::uint32_t TickCount() = 0;
  // The high-resolution counter and its frequency in counts per second.
  virtual std::int64_t PerformanceFrequency() = 0;
  virtual std::int64_t PerformanceCounter() = 0;
};

}  // namespace m797::session
