#pragma once

#include <cstdint>

#include "session/clock.h"

namespace m797::session::test {

// Simulated time in microseconds.  Every read moves time on by a small step, so that the
// session's busy waits end after the simulated interval they wait for; tests move time forward to
// the next event with AdvanceTo.
class SimClock final : public Clock {
 public:
  static constexpr std::int64_t kStepUs = 10;

  std::uint32_t TickCount() override {
    now_us_ += kStepUs;
    return static_cast<std::uint32_t>((now_us_ + tick_offset_us_) / 1000);
  }
  std::int64_t PerformanceFrequency() override { return 1'000'000; }
  std::int64_t PerformanceCounter() override {
    now_us_ += kStepUs;
    return now_us_;
  }

  std::int64_t now_us() const { return now_us_; }
  double now_ms() const { return now_us_ / 1000.0; }
  void AdvanceTo(std::int64_t us) {
    if (us > now_us_) now_us_ = us;
  }
  // Shifts the millisecond tick so that it wraps around 32 bits `ms_before_wrap` from now.
  void PlaceTickWrapAhead(std::uint32_t ms_before_wrap) {
    const std::int64_t wrap_us = (std::int64_t{1} << 32) * 1000;
    tick_offset_us_ = wrap_us - static_cast<std::int64_t>(ms_before_wrap) * 1000 - now_us_;
  }

 private:
  std::int64_t now_us_ = 1'000'000;
  std::int64_t tick_offset_us_ = 0;
};

}  // namespace m797::session::test
