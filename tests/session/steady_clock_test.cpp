// The real clock's sleep and the waits on it.  Bounds on elapsed time only hold from below on a
// loaded machine; the CPU time the waiting thread used shows that it slept.
#include "session/steady_clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <chrono>

#include "session/blocking_wait.h"

namespace m797::session {
namespace {

using namespace std::chrono_literals;

std::chrono::nanoseconds ThreadCpuTime() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

std::int64_t Counts(std::chrono::nanoseconds d) {
  return d.count();  // the counter counts nanoseconds
}

TEST(SteadyClock, SleepsUntilTheLastStretchBeforeTheCounterValue) {
  SteadyClock clock;
  ASSERT_EQ(clock.PerformanceFrequency(), 1'000'000'000);
  const std::int64_t begin = clock.PerformanceCounter();
  const std::int64_t target = begin + Counts(50ms);
  const auto cpu_before = ThreadCpuTime();
  clock.SleepUntilShortlyBefore(target);
  const std::int64_t end = clock.PerformanceCounter();
  // Windows (and Wine) may end a sleep a little before the point asked for; the polling of the
  // last stretch that follows every sleep covers that.
#ifdef _WIN32
  constexpr auto kEarlyWake = 1ms;
#else
  constexpr auto kEarlyWake = 0ms;
#endif
  EXPECT_GE(end, target - Counts(SteadyClock::kLastStretch) - Counts(kEarlyWake));
  EXPECT_LT(ThreadCpuTime() - cpu_before, 5ms);
}

TEST(SteadyClock, ReturnsAtOnceWhenTheLastStretchHasBegun) {
  SteadyClock clock;
  const auto cpu_before = ThreadCpuTime();
  const auto wall_before = std::chrono::steady_clock::now();
  clock.SleepUntilShortlyBefore(clock.PerformanceCounter() + Counts(SteadyClock::kLastStretch) / 2);
  clock.SleepUntilShortlyBefore(clock.PerformanceCounter() - Counts(1s));
  EXPECT_LT(std::chrono::steady_clock::now() - wall_before, 20ms);
  EXPECT_LT(ThreadCpuTime() - cpu_before, 5ms);
}

TEST(SteadyClock, TickWaitLastsItsTimeWhileTheThreadMostlySleeps) {
  SteadyClock clock;
  const std::uint32_t begin_tick = clock.TickCount();
  const auto wall_before = std::chrono::steady_clock::now();
  const auto cpu_before = ThreadCpuTime();
  WaitTicksMoreThan(clock, 200);
  const auto waited = std::chrono::steady_clock::now() - wall_before;
  EXPECT_GT(clock.TickCount() - begin_tick, 200u);
  EXPECT_GE(waited, 201ms);
  // Polling the whole wait would use about all of it.
  EXPECT_LT(ThreadCpuTime() - cpu_before, waited / 4);
}

}  // namespace
}  // namespace m797::session
