// Measures how late the scheduler wakes a thread that sleeps until a point on the steady clock,
// the way the session's waits sleep before they poll the last stretch.  Run it on a quiet and on a
// loaded machine: the last stretch must cover nearly all of these wake-ups.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Us(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

void Report(int sleep_ms, std::vector<double> late_us) {
  std::sort(late_us.begin(), late_us.end());
  auto at = [&](double q) { return late_us[static_cast<std::size_t>(q * (late_us.size() - 1))]; };
  std::printf(
      "%3d ms sleeps, %4zu runs: late by min %.0f  median %.0f  p90 %.0f  p99 %.0f  p99.9 %.0f  "
      "max %.0f us\n",
      sleep_ms, late_us.size(), late_us.front(), at(0.5), at(0.9), at(0.99), at(0.999),
      late_us.back());
}

}  // namespace

int main(int argc, char** argv) {
  // The sleeps of the session: most of a 25 ms wake-up phase, most of a 200 ms pause.
  const int scale = argc > 1 ? std::atoi(argv[1]) : 1;
  for (const auto& [sleep_ms, runs] : {std::pair{23, 400 * scale}, std::pair{198, 50 * scale}}) {
    std::vector<double> late_us;
    for (int i = 0; i < runs; ++i) {
      const auto target = Clock::now() + std::chrono::milliseconds(sleep_ms);
      std::this_thread::sleep_until(target);
      late_us.push_back(Us(Clock::now() - target));
    }
    Report(sleep_ms, std::move(late_us));
  }
  return 0;
}
