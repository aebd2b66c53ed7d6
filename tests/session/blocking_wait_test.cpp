// The session's timed waits on simulated time: where they end, and that they sleep rather than
// poll.
#include "session/blocking_wait.h"

#include <gtest/gtest.h>

#include "sim_clock.h"

namespace m797::session::test {
namespace {

// Polling turns a wait may take after its sleep: the last stretch, and a few more for the tick.
constexpr std::int64_t kMostReads = SimClock::kLastStretchUs / SimClock::kStepUs + 10;

TEST(WaitTicksMoreThan, EndsOnceBothCountersPassedFromAnyPointOfATick) {
  for (std::uint32_t ms : {0u, 1u, 200u, 300u}) {
    for (std::int64_t into_tick_us = 0; into_tick_us < 1000; into_tick_us += 70) {
      SimClock clock;
      clock.AdvanceTo(5'000'000 + into_tick_us);
      const std::int64_t begin = clock.now_us();
      const std::uint32_t begin_tick = clock.TickCount();
      const std::int64_t reads_before = clock.reads();
      WaitTicksMoreThan(clock, ms);
      const std::int64_t waited = clock.now_us() - begin;
      EXPECT_GT(static_cast<std::uint32_t>(clock.TickCount() - begin_tick), ms);
      EXPECT_GE(waited, (ms + 1) * 1000) << ms << " ms from " << into_tick_us << " us";
      EXPECT_LE(waited, (ms + 1) * 1000 + 4 * SimClock::kStepUs)
          << ms << " ms from " << into_tick_us << " us";
      EXPECT_LE(clock.reads() - reads_before, kMostReads) << ms << " ms";
    }
  }
}

TEST(WaitTicksMoreThan, HoldsAcrossTheTickWrap) {
  for (std::uint32_t before_wrap : {0u, 1u, 150u, 300u, 301u}) {
    SimClock clock;
    clock.PlaceTickWrapAhead(before_wrap);
    const std::int64_t begin = clock.now_us();
    WaitTicksMoreThan(clock, 300);
    EXPECT_GE(clock.now_us() - begin, 301'000) << before_wrap;
    EXPECT_LT(clock.now_us() - begin, 301'100) << before_wrap;
  }
}

TEST(WaitTicksMoreThan, WaitsOnForATickThatLagsBehindTheCounter) {
  SimClock clock;
  clock.SetTickResolution(16);
  clock.AdvanceTo(5'008'100);  // just after the tick stepped to 5008
  const std::uint32_t begin_tick = clock.TickCount();
  WaitTicksMoreThan(clock, 200);
  const std::int64_t end = clock.now_us();
  // More than 200 ticks on: the step to 5216, well after the 201 ms of the counter; the wait for
  // the tick goes in steps of 100 us.
  EXPECT_GE(end, 5'216'000);
  EXPECT_LE(end, 5'216'000 + 100 + 4 * SimClock::kStepUs);
  EXPECT_EQ(clock.TickCount() - begin_tick, 208u);
}

TEST(WaitTicksMoreThan, SleepsThroughTheWholeWaitWithoutPolling) {
  SimClock clock;
  WaitTicksMoreThan(clock, 300);
  EXPECT_EQ(clock.sleeps(), 1);
  EXPECT_LE(clock.reads(), 4);
}

TEST(WaitCounterPast, EndsAtTheFirstReadPastTheDeadline) {
  SimClock clock;
  const std::int64_t deadline = clock.now_us() + 25'000;
  WaitCounterPast(clock, deadline);
  EXPECT_GT(clock.now_us(), deadline);
  EXPECT_LE(clock.now_us(), deadline + SimClock::kStepUs);
  EXPECT_LE(clock.reads(), kMostReads);
}

TEST(WaitCounterPast, ReturnsAtOnceForADeadlineThatHasPassed) {
  SimClock clock;
  const std::int64_t begin = clock.now_us();
  WaitCounterPast(clock, begin - 1);
  EXPECT_EQ(clock.now_us(), begin + SimClock::kStepUs);
  EXPECT_EQ(clock.reads(), 1);
}

}  // namespace
}  // namespace m797::session::test
