#pragma once

#include <cstdint>

namespace m797::serial {

// Milliseconds of a steady clock, as a 32-bit counter that wraps after about 49.7 days.
std::uint32_t TickCount();

// A time limit measured on the 32-bit tick counter; correct across one wrap of the counter.
class TSerDeadline {
 public:
  void Set(std::uint32_t length_ms, std::uint32_t now = TickCount()) {
    start_ = now;
    length_ = length_ms;
  }
  std::uint32_t Elapsed(std::uint32_t now = TickCount()) const { return now - start_; }
  bool Expired(std::uint32_t now = TickCount()) const { return Elapsed(now) > length_; }
  // Milliseconds until Expired turns true; 0 once it has.
  std::uint32_t Remaining(std::uint32_t now = TickCount()) const {
    const std::uint32_t elapsed = Elapsed(now);
    return elapsed > length_ ? 0 : length_ - elapsed + 1;
  }

 private:
  std::uint32_t start_ = 0;
  std::uint32_t length_ = 0;
};

}  // namespace m797::serial
