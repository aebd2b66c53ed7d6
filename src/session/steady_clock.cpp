#include "session/steady_clock.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace m797::session {

namespace {

std::chrono::steady_clock::time_point AtCounter(std::int64_t counter) {
  return std::chrono::steady_clock::time_point(
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::nanoseconds(counter)));
}

// Says once per process that the time-critical spans run without priority.
void SayRunningWithoutPriority(const std::string& refusal) {
  static std::atomic<bool> said{false};
  if (said.exchange(true)) return;
  std::fprintf(stderr,
               "the K-line wake-up runs without real-time priority (%s); on a busy machine its "
               "25 ms phases may come out longer\n",
               refusal.c_str());
}

std::chrono::steady_clock::duration SinceEpoch() {
  return std::chrono::steady_clock::now().time_since_epoch();
}

}  // namespace

std::uint32_t SteadyClock::TickCount() {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(SinceEpoch()).count());
}

std::int64_t SteadyClock::PerformanceFrequency() {
  return 1'000'000'000;
}

std::int64_t SteadyClock::PerformanceCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(SinceEpoch()).count();
}

void SteadyClock::SleepUntilShortlyBefore(std::int64_t counter) {
  // sleep_until returns at once for a point in the past, and sleeps on where a signal cut the
  // sleep short.
  std::this_thread::sleep_until(AtCounter(counter) - kLastStretch);
}

void SteadyClock::PassTimeUntil(std::int64_t counter) {
#ifdef _WIN32
  SleepUntilShortlyBefore(counter);
  while (PerformanceCounter() <= counter) {
  }
#else
  std::this_thread::sleep_until(AtCounter(counter + 1));
#endif
}

void SteadyClock::BeginTimeCritical() {
  std::string refusal;
  raised_ = time_critical_.Raise(refusal);
  if (!raised_) SayRunningWithoutPriority(refusal);
}

void SteadyClock::EndTimeCritical() {
  if (raised_) time_critical_.Restore();
  raised_ = false;
}

}  // namespace m797::session
