// The thread that drives the K-line wake-up is in the real-time class for the pattern alone: not
// in the pause before it, not after it, and no other thread of the process ever.
//
// Built with M797_THROUGH_REALTIME_KIT, the same test runs as a plain user who may not take the
// class, with the program's RealtimeKitGrant: run_with_realtime_kit starts RealtimeKit and polkit
// on a private system bus for it, and the class must come from there.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fake_controls.h"
#include "session/diagnostic_session.h"
#include "session/steady_clock.h"

#ifdef M797_THROUGH_REALTIME_KIT
#include <QCoreApplication>

#include "qt_adapters/realtime_kit_grant.h"
#endif

namespace m797::session::test {
namespace {

struct Scheduling {
  int policy = -1;
  int priority = -1;
  bool operator==(const Scheduling&) const = default;
};

Scheduling SchedulingOf(pid_t tid) {
  Scheduling s;
  sched_param param{};
  const int policy = sched_getscheduler(tid);
  if (policy >= 0 && sched_getparam(tid, &param) == 0) {
    s.policy = policy & ~SCHED_RESET_ON_FORK;
    s.priority = param.sched_priority;
  }
  return s;
}

pid_t ThisThread() {
  return static_cast<pid_t>(syscall(SYS_gettid));
}

using Threads = std::map<pid_t, Scheduling>;

Threads EveryThread() {
  Threads threads;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      const auto tid = static_cast<pid_t>(std::atoi(entry->d_name));
      threads[tid] = SchedulingOf(tid);
    }
    closedir(dir);
  }
  return threads;
}

// The threads of `threads` other than `except` that are in a real-time class.
std::vector<pid_t> RealTimeThreads(const Threads& threads, pid_t except = 0) {
  std::vector<pid_t> found;
  for (const auto& [tid, s] : threads) {
    if (tid != except && (s.policy == SCHED_FIFO || s.policy == SCHED_RR)) found.push_back(tid);
  }
  return found;
}

// Whether this process may put a thread into the real-time class, tried on a thread of its own.
bool RealTimeAllowed() {
  bool allowed = false;
  std::thread([&] {
    sched_param param{};
    param.sched_priority = 1;
    allowed = sched_setscheduler(0, SCHED_FIFO, &param) == 0;
  }).join();
  return allowed;
}

// What one call found: the calling thread's scheduling and the other threads in a real-time class.
struct Observation {
  std::string call;
  Scheduling caller;
  std::vector<pid_t> other_real_time;
};

class Observer {
 public:
  void Observe(const std::string& call) {
    const pid_t self = ThisThread();
    seen.push_back({call, SchedulingOf(self), RealTimeThreads(EveryThread(), self)});
  }
  std::vector<Observation> seen;
};

// A line that observes the scheduling at every call the session makes of it.
class ObservingLine final : public SerialLine {
 public:
  explicit ObservingLine(Observer& observer) : observer_(observer) {}
  void SetDeviceName(const std::string&) override {}
  std::string DeviceName() const override { return "COM1"; }
  void OpenPort() override { open_ = true; }
  void ClosePort() override { open_ = false; }
  bool PortOpen() const override { return open_; }
  void SetDtrState(bool) override { observer_.Observe("dtr"); }
  void SetBreakState(bool on) override { observer_.Observe(on ? "break on" : "break off"); }
  int SendBytes(const std::uint8_t*, int count) override {
    observer_.Observe("send");
    return count;
  }
  int ReadBytes(std::uint8_t*, int) override { return 0; }

 private:
  Observer& observer_;
  bool open_ = false;
};

// The real clock, observing the scheduling in every pause.
class ObservingClock final : public Clock {
 public:
  explicit ObservingClock(Observer& observer) : observer_(observer) {}
  std::uint32_t TickCount() override { return clock_.TickCount(); }
  std::int64_t PerformanceFrequency() override { return clock_.PerformanceFrequency(); }
  std::int64_t PerformanceCounter() override { return clock_.PerformanceCounter(); }
  void SleepUntilShortlyBefore(std::int64_t counter) override {
    clock_.SleepUntilShortlyBefore(counter);
  }
  void PassTimeUntil(std::int64_t counter) override {
    observer_.Observe("pause");
    clock_.PassTimeUntil(counter);
  }
  void BeginTimeCritical() override { clock_.BeginTimeCritical(); }
  void EndTimeCritical() override { clock_.EndTimeCritical(); }

 private:
  Observer& observer_;
  SteadyClock clock_;
};

class IdleTimer final : public SessionTimer {
 public:
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }

 private:
  bool enabled_ = false;
};

// A thread of the process that waits while the session runs.
class WaitingThread {
 public:
  WaitingThread()
      : thread_([this] {
          std::unique_lock lock(mutex_);
          released_changed_.wait(lock, [&] { return released_; });
        }) {}
  ~WaitingThread() {
    {
      std::lock_guard lock(mutex_);
      released_ = true;
    }
    released_changed_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_changed_;
  bool released_ = false;  // guarded by mutex_
  std::thread thread_;
};

TEST(WakeUpPriority, OnlyThePatternRunsInTheRealTimeClass) {
#ifdef M797_THROUGH_REALTIME_KIT
  int argc = 1;
  char name[] = "session_realtime_kit_tests";
  char* argv[] = {name, nullptr};
  const QCoreApplication app(argc, argv);
  const qt_adapters::RealtimeKitGrant realtime_kit;
  ASSERT_FALSE(RealTimeAllowed()) << "run as a plain user without rtprio, so that the class can "
                                     "come from RealtimeKit alone";
  const bool allowed = true;
#else
  const bool allowed = RealTimeAllowed();
#endif
  WaitingThread other;
  const Threads before = EveryThread();
  ASSERT_GE(before.size(), 2u);
  ASSERT_TRUE(RealTimeThreads(before).empty()) << "a thread is in a real-time class already";
  const Scheduling ordinary = SchedulingOf(ThisThread());

  Observer observer;
  ObservingLine line(observer);
  ObservingClock clock(observer);
  IdleTimer timer1, timer2, timer3;
  MemorySettings settings;
  FakeControls controls;
  DiagnosticSession session(line, clock, {timer1, timer2, timer3}, settings, controls);
  session.FormCreate();
  session.Button1Click();  // DTR, the pause, the wake-up, StartCommunication
  ASSERT_EQ(controls.caption, kStopCaption);

  std::vector<std::string> calls;
  for (const Observation& o : observer.seen) {
    calls.push_back(o.call);
    const bool in_pattern = o.call == "break on" || o.call == "break off";
    if (in_pattern && allowed) {
      // The priority may be lower where RLIMIT_RTPRIO allows less.
      EXPECT_EQ(o.caller.policy, SCHED_FIFO) << o.call;
      EXPECT_GT(o.caller.priority, 0) << o.call;
      EXPECT_LE(o.caller.priority, TimeCriticalThread::kRealTimePriority) << o.call;
    } else {
      EXPECT_EQ(o.caller, ordinary)
          << o.call << ": policy " << o.caller.policy << " priority " << o.caller.priority;
    }
    EXPECT_TRUE(o.other_real_time.empty()) << o.call << ": another thread is in a real-time class";
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"dtr", "pause", "break on", "break off", "send"}));

  const Threads after = EveryThread();
  for (const auto& [tid, s] : before) {
    if (after.count(tid)) {
      EXPECT_EQ(after.at(tid), s) << "thread " << tid;
    }
  }
  EXPECT_TRUE(RealTimeThreads(after).empty());
}

}  // namespace
}  // namespace m797::session::test
