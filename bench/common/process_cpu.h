#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

namespace m797::bench {

// CPU time the whole process has used (user and system, all its threads), from getrusage.
inline std::chrono::microseconds ProcessCpuTime() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto us = [](const timeval& t) {
    return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
  };
  return us(usage.ru_utime) + us(usage.ru_stime);
}

// Measures the wall time and the process's CPU time from its construction to Stop().
class CpuMeter {
 public:
  void Stop() {
    wall_s_ = Seconds(std::chrono::steady_clock::now() - wall_start_);
    cpu_s_ = Seconds(ProcessCpuTime() - cpu_start_);
  }
  // Prints both and the CPU time's share of the wall time.
  void Print() const {
    std::printf("CPU %.3f s in %.3f s of wall time (%.1f %%)\n", cpu_s_, wall_s_,
                100.0 * cpu_s_ / wall_s_);
  }

 private:
  template <typename D>
  static double Seconds(D d) {
    return std::chrono::duration<double>(d).count();
  }

  std::chrono::steady_clock::time_point wall_start_ = std::chrono::steady_clock::now();
  std::chrono::microseconds cpu_start_ = ProcessCpuTime();
  double wall_s_ = 0;
  double cpu_s_ = 0;
};

}  // namespace m797::bench
