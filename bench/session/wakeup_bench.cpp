// Measures the K-line wake-up pattern on the real clock: the low phase (break set to break
// cleared) and the high phase (break cleared to the end of the pattern's last wait, where the
// session ends its time-critical span and may send), with the thread held
// in the real-time class for the pattern and without, alternately, and the CPU time the process
// used for them.
//
//   wakeup_bench [--load N] [--runs N]
//
// --load N starts N busy processes of its own for the time of the measurement, as a browser and
// an update would keep a laptop's cores busy.  Run as root, the bench measures as root, then as
// the plain user nobody given RLIMIT_RTPRIO (where the system lets root give it; else nobody
// keeps CAP_SYS_NICE alone, which the kernel treats alike, and the bench says so).  Run as a
// plain user on a desktop, the class comes from RealtimeKit, as the tester's does, and the bench
// says how often; tests/session/run_with_realtime_kit runs it so with a RealtimeKit of its own.
// RealtimeKit answers at most 25 requests in 20 s by default and a hundred wake-ups ask in 15 s,
// so that one is given "--rtkit-option --actions-per-burst-max=1000".
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "common/process_cpu.h"
#include "qt_adapters/realtime_kit_grant.h"
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

// The real clock, with its time-critical span or without it, noting how often the span put the
// thread into the real-time class.
class BenchClock final : public Clock {
 public:
  std::uint32_t TickCount() override { return clock_.TickCount(); }
  std::int64_t PerformanceFrequency() override { return clock_.PerformanceFrequency(); }
  std::int64_t PerformanceCounter() override { return clock_.PerformanceCounter(); }
  void SleepUntilShortlyBefore(std::int64_t counter) override {
    clock_.SleepUntilShortlyBefore(counter);
  }
  void PassTimeUntil(std::int64_t counter) override { clock_.PassTimeUntil(counter); }
  void BeginTimeCritical() override {
    if (!with_priority) return;
    clock_.BeginTimeCritical();
    if ((sched_getscheduler(0) & ~SCHED_RESET_ON_FORK) == SCHED_FIFO) ++held;
  }
  // The pattern's last wait has ended: the end of the high phase.
  void EndTimeCritical() override {
    pattern_end = WallClock::now();
    if (with_priority) clock_.EndTimeCritical();
  }

  bool with_priority = false;
  int held = 0;
  WallClock::time_point pattern_end;

 private:
  SteadyClock clock_;
};

// The program's RealtimeKit, counting the requests it granted.
class CountingGrant final : public RealTimeGrant {
 public:
  CountingGrant() { SetRealTimeGrant(this); }
  ~CountingGrant() override { SetRealTimeGrant(nullptr); }
  bool MakeThreadRealTime(std::uint64_t thread_id, int priority, std::string& refusal) override {
    const bool made = realtime_kit_.MakeThreadRealTime(thread_id, priority, refusal);
    if (made) ++granted;
    return made;
  }

  int granted = 0;

 private:
  m797::qt_adapters::RealtimeKitGrant realtime_kit_;
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

// Busy processes that end with the bench: killed when it ends, by the kernel when it dies
// (PR_SET_PDEATHSIG), and by their own alarm after `bound_s` in any case.
class BusyProcesses {
 public:
  BusyProcesses(int count, unsigned bound_s) {
    const pid_t parent = getpid();
    for (int i = 0; i < count; ++i) {
      const pid_t child = fork();
      if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(0);  // the bench died before the line above
        alarm(bound_s);
        for (unsigned long n = 0;; ++n) {
          asm volatile("" : "+r"(n));  // a loop the compiler keeps
        }
      }
      if (child > 0) children_.push_back(child);
    }
  }
  ~BusyProcesses() {
    for (pid_t child : children_)
      kill(child, SIGKILL);
    for (pid_t child : children_)
      waitpid(child, nullptr, 0);
  }
  int count() const { return static_cast<int>(children_.size()); }

 private:
  std::vector<pid_t> children_;
};

struct Phases {
  std::vector<double> low;
  std::vector<double> high;
};

void PrintRow(const char* name, const Phases& phases, const std::string& note) {
  auto columns = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t p99 = (v.size() * 99 + 99) / 100 - 1;  // nearest rank
    std::printf("  %7.3f %7.3f %7.3f %7.3f", v.front(), v[v.size() / 2], v[p99], v.back());
  };
  std::printf("%-17s", name);
  columns(phases.low);
  std::printf("   ");
  columns(phases.high);
  std::printf("  %s\n", note.c_str());
}

// Runs the wake-up `runs` times with the priority and as often without, alternately, and prints
// both phases of each.
void Measure(int runs, const std::string& who) {
  CountingGrant realtime_kit;
  BreakTimingLine line;
  BenchClock clock;
  IdleTimer timer1, timer2, timer3;
  NoSettings settings;
  NoControls controls;
  DiagnosticSession session(line, clock, {timer1, timer2, timer3}, settings, controls);

  Phases with, without;
  m797::bench::CpuMeter cpu;
  for (int i = 0; i < 2 * runs; ++i) {
    clock.with_priority = i % 2 == 1;
    session.WakeUpLine();
    Phases& phases = clock.with_priority ? with : without;
    phases.low.push_back(Ms(line.break_off - line.break_on));
    phases.high.push_back(Ms(clock.pattern_end - line.break_off));
  }
  cpu.Stop();
  std::printf("\n%s, %d wake-ups each\n", who.c_str(), runs);
  std::printf("%-17s  %-31s   %-31s\n", "", "low phase, ms", "high phase, ms");
  std::printf("%-17s  %7s %7s %7s %7s   %7s %7s %7s %7s\n", "", "min", "median", "p99", "max",
              "min", "median", "p99", "max");
  PrintRow("without priority", without, "");
  std::string held =
      "real-time class held in " + std::to_string(clock.held) + " of " + std::to_string(runs);
  if (realtime_kit.granted > 0) {
    held += ", granted by RealtimeKit in " + std::to_string(realtime_kit.granted);
  }
  PrintRow("with priority", with, held);
  cpu.Print();
  std::fflush(stdout);
}

// Keeps CAP_SYS_NICE alone in the effective and permitted sets of a process that setuid has
// left with its permitted set (PR_SET_KEEPCAPS).
bool KeepOnlySysNice() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  data[CAP_SYS_NICE / 32].effective = data[CAP_SYS_NICE / 32].permitted = 1u << (CAP_SYS_NICE % 32);
  return syscall(SYS_capset, &header, data) == 0;
}

// In a child process: drops to the user nobody, given RLIMIT_RTPRIO first, and measures there.
void MeasureAsPlainUser(int runs) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) {
    std::printf("\ncannot measure as a plain user: fork: %s\n", std::strerror(errno));
    return;
  }
  if (child > 0) {
    waitpid(child, nullptr, 0);
    return;
  }
  const passwd* nobody = getpwnam("nobody");
  if (nobody == nullptr) {
    std::printf("\ncannot measure as a plain user: no user nobody\n");
    std::exit(0);
  }
  const rlim_t wanted = TimeCriticalThread::kRealTimePriority;
  const rlimit rtprio{wanted, wanted};
  std::string given = "RLIMIT_RTPRIO " + std::to_string(wanted);
  bool keep_sys_nice = false;
  if (setrlimit(RLIMIT_RTPRIO, &rtprio) != 0) {
    std::printf(
        "\ncannot give the plain user RLIMIT_RTPRIO (%s; raising a hard limit takes "
        "CAP_SYS_RESOURCE); it keeps CAP_SYS_NICE alone instead\n",
        std::strerror(errno));
    given = "CAP_SYS_NICE alone";
    keep_sys_nice = true;
    prctl(PR_SET_KEEPCAPS, 1);
  }
  if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) {
    std::printf("\ncannot measure as a plain user: %s\n", std::strerror(errno));
    std::exit(0);
  }
  if (keep_sys_nice && !KeepOnlySysNice()) {
    std::printf("cannot keep CAP_SYS_NICE: %s\n", std::strerror(errno));
    given = "nothing";
  }
  Measure(runs,
          "as the plain user nobody (uid " + std::to_string(nobody->pw_uid) + ") given " + given);
  std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  const QCoreApplication app(argc, argv);  // for RealtimeKit's system bus
  int load = 0;
  int runs = 100;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--load" || arg == "--runs") && i + 1 < argc) {
      (arg == "--load" ? load : runs) = std::max(arg == "--load" ? 0 : 1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: wakeup_bench [--load N] [--runs N]\n");
      return 2;
    }
  }
  // Each wake-up takes 50 ms; two series of 2 * runs, and time to spare.
  const unsigned bound_s = 60 + static_cast<unsigned>(runs) / 2;
  const BusyProcesses busy(load, bound_s);
  std::printf("wake-up pattern with %d busy processes of the bench's own on %ld cores\n",
              busy.count(), sysconf(_SC_NPROCESSORS_ONLN));
  if (geteuid() == 0) {
    Measure(runs, "as root");
    MeasureAsPlainUser(runs);
  } else {
    Measure(runs, "as uid " + std::to_string(geteuid()) + " (not root: no plain user to drop to)");
  }
  return 0;
}
