#pragma once

#include <cstdint>

#include "session/clock.h"

namespace m797::session::test {

// Simulated time in microseconds.  Every read moves time on by a small step, so that the
// session's polling ends after the simulated interval it waits for; a sleep moves time on at once
// to the start of its last stretch, or past its end where it sleeps to the end.  Tests move time
// forward to the next event with AdvanceTo.
class SimClock final : public Clock {
 public:
  static constexpr std::int64_t kStepUs = 10;
  static constexpr std::int64_t kLastStretchUs = 1000;

  std::uint32_t TickCount() override {
    Read();
    const std::int64_t ms = (now_us_ + tick_offset_us_) / 1000;
    return static_cast<std::uint32_t>(ms - ms % tick_resolution_ms_);
  }
  std::int64_t PerformanceFrequency() override { return 1'000'000; }
  std::int64_t PerformanceCounter() override {
    Read();
    return now_us_;
  }
  void SleepUntilShortlyBefore(std::int64_t counter) override {
    ++sleeps_;
    AdvanceTo(counter - kLastStretchUs);
  }
  // A sleep to the end, as the real clock's on Linux.
  void PassTimeUntil(std::int64_t counter) override {
    ++sleeps_;
    AdvanceTo(counter + 1);
  }

  std::int64_t now_us() const { return now_us_; }
  double now_ms() const { return now_us_ / 1000.0; }
  // Reads of the tick or the counter so far: each one a turn of a polling loop.
  std::int64_t reads() const { return reads_; }
  int sleeps() const { return sleeps_; }
  void AdvanceTo(std::int64_t us) {
    if (us > now_us_) now_us_ = us;
  }
  // Shifts the millisecond tick so that it wraps around 32 bits `ms_before_wrap` from now.
  void PlaceTickWrapAhead(std::uint32_t ms_before_wrap) {
    const std::int64_t wrap_us = (std::int64_t{1} << 32) * 1000;
    tick_offset_us_ = wrap_us - static_cast<std::int64_t>(ms_before_wrap) * 1000 - now_us_;
  }
  // Lets the tick move in steps of `ms`, as a coarse system tick does.
  void SetTickResolution(std::int64_t ms) { tick_resolution_ms_ = ms; }

 private:
  void Read() {
    now_us_ += kStepUs;
    ++reads_;
  }

  std::int64_t now_us_ = 1'000'000;
  std::int64_t tick_offset_us_ = 0;
  std::int64_t tick_resolution_ms_ = 1;
  std::int64_t reads_ = 0;
  int sleeps_ = 0;
};

}  // namespace m797::session::test
