// Measures the K-line wake-up pattern on the real clock: the low phase (break set to break
// cleared) and the high phase (break cleared to the return of the wake-up), over 100 runs, and
// the CPU time the process used for them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "common/process_cpu.h"
#include "session/diagnostic_session.h"
#include "session/steady_clock.h"

namespace {

using namespace m797::session;
using WallClock = std::chrono::steady_clock;

// A line that only notes when the break condition changes.
class BreakTimingLine final : public SerialLine {
 public:
  void SetDeviceName(const std::string&) override {}
  std::string DeviceName() const override { return "bench"; }
  void OpenPort() override {}
  void ClosePort() override {}
  bool PortOpen() const override { return true; }
  void SetDtrState(bool) override {}
  void SetBreakState(bool on) override { (on ? break_on : break_off) = WallClock::now(); }
  int SendBytes(const std::uint8_t*, int count) override { return count; }
  int ReadBytes(std::uint8_t*, int) override { return 0; }

  WallClock::time_point break_on;
  WallClock::time_point break_off;
};

class IdleTimer final : public SessionTimer {
 public:
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }

 private:
  bool enabled_ = false;
};

class NoSettings final : public SettingsStore {
 public:
  int ReadInteger(const std::string&, const std::string&, int fallback) override {
    return fallback;
  }
  void WriteInteger(const std::string&, const std::string&, int) override {}
};

class NoControls final : public SessionControls {
 public:
  std::string ToolButton1Caption() const override { return {}; }
  void SetToolButton1Caption(const std::string&) override {}
  int ItemIndex(Selector) const override { return 0; }
  void SetItemIndex(Selector, int) override {}
  void SetSelectorEnabled(Selector, bool) override {}
  void SetLabel10Caption(const std::string&) override {}
  int ActivePageIndex() const override { return 0; }
  void SetMemoLines(Memo, const std::vector<std::string>&) override {}
  void SetGaugeValue(Gauge, float) override {}
};

double Ms(WallClock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void Report(const char* name, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::printf("%-10s min %.3f ms  median %.3f ms  max %.3f ms\n", name, v.front(), v[v.size() / 2],
              v.back());
}

}  // namespace

int main() {
  constexpr int kRuns = 100;
  BreakTimingLine line;
  SteadyClock clock;
  IdleTimer timer1, timer2, timer3;
  NoSettings settings;
  NoControls controls;
  DiagnosticSession session(line, clock, {timer1, timer2, timer3}, settings, controls);

  std::vector<double> low, high;
  m797::bench::CpuMeter cpu;
  for (int i = 0; i < kRuns; ++i) {
    session.WakeUpLine();
    const auto end = WallClock::now();
    low.push_back(Ms(line.break_off - line.break_on));
    high.push_back(Ms(end - line.break_off));
  }
  cpu.Stop();
  std::printf("wake-up pattern over %d runs\n", kRuns);
  Report("low", low);
  Report("high", high);
  cpu.Print();
  return 0;
}
