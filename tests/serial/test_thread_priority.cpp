// Priorities of the component's threads, and what a priority change does once a thread ended.
#include <dirent.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

using Tids = std::set<pid_t>;

Tids ThreadsOfThisProcess() {
  Tids tids;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] != '.') tids.insert(static_cast<pid_t>(std::atoi(entry->d_name)));
    }
    closedir(dir);
  }
  return tids;
}

// The threads of this process before the component starts its own.  A thread is started and
// ended first, as a runtime may add a helper thread of its own at the first start (the thread
// sanitizer does).
Tids ThreadsBeforeOpening() {
  std::thread([] {}).join();
  return ThreadsOfThisProcess();
}

// The threads that turned up in after and were not in before.
Tids NewThreads(const Tids& before, const Tids& after) {
  Tids added;
  for (pid_t tid : after) {
    if (!before.count(tid)) added.insert(tid);
  }
  return added;
}

int NiceOf(pid_t tid) {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
  return errno == 0 ? nice : 1000;
}

// The kernel says nothing when a thread has gone; look every millisecond.
bool WaitUntilGone(pid_t tid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (ThreadsOfThisProcess().count(tid)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// A thread of this test that runs under a thread id chosen beforehand, as the kernel may hand
// out the id of a thread that has ended to the next new one.  The kernel gives the id after the
// one in ns_last_pid; other processes may take it first, so this tries a few times.
class ThreadUnderId {
 public:
  explicit ThreadUnderId(pid_t wanted) {
    for (int attempt = 0; attempt < 200 && tid_ != wanted; ++attempt) {
      Release();
      if (!SetLastPid(wanted - 1)) return;
      parked_ = false;
      released_ = false;
      tid_ = 0;
      thread_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        tid_ = static_cast<pid_t>(syscall(SYS_gettid));
        parked_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_; });
      });
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return parked_; });
    }
  }
  ~ThreadUnderId() { Release(); }

  bool ok(pid_t wanted) const { return tid_ == wanted; }

 private:
  static bool SetLastPid(pid_t pid) {
    FILE* file = std::fopen("/proc/sys/kernel/ns_last_pid", "w");
    if (!file) return false;
    const bool written = std::fprintf(file, "%d", static_cast<int>(pid)) > 0;
    return std::fclose(file) == 0 && written;
  }
  void Release() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      released_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool parked_ = false;    // guarded by mutex_
  bool released_ = false;  // guarded by mutex_
  pid_t tid_ = 0;          // written by the thread under mutex_, read once it has parked
  std::thread thread_;
};

TEST_F(PortTest, APriorityChangeAfterTheEventThreadEndedTouchesNoOtherThread) {
  comm.SetDirectWrite(true);  // the event thread is the component's only thread
  const Tids before = ThreadsBeforeOpening();
  comm.OpenPort();
  const Tids started = NewThreads(before, ThreadsOfThisProcess());
  ASSERT_EQ(started.size(), 1u);
  const pid_t event_thread = *started.begin();

  // The event thread reports the lost device and ends; its id is free again.
  master.Close();
  ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));
  ASSERT_TRUE(WaitUntilGone(event_thread, 10s));

  ThreadUnderId other(event_thread);
  if (!other.ok(event_thread)) GTEST_SKIP() << "cannot choose the id of a new thread here";
  const int nice_before = NiceOf(event_thread);
  comm.SetEventPriority(TThreadPriority::tpLowest);
  EXPECT_EQ(NiceOf(event_thread), nice_before) << "the priority went to another thread";
  EXPECT_EQ(comm.EventPriority(), TThreadPriority::tpLowest);
}

TEST_F(PortTest, APrioritySetWhileNoThreadRunsIsKeptForTheNextOne) {
  comm.SetDirectWrite(true);
  comm.OpenPort();
  master.Close();
  ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));
  comm.SetEventPriority(TThreadPriority::tpLower);
  comm.ClosePort();

  PtyMaster next;
  comm.SetDeviceName(next.SlavePath());
  const Tids before = ThreadsBeforeOpening();
  comm.OpenPort();
  const Tids started = NewThreads(before, ThreadsOfThisProcess());
  ASSERT_EQ(started.size(), 1u);
  // The thread sets its own priority as it starts.
  const pid_t event_thread = *started.begin();
  EXPECT_TRUE(PumpUntil([&] { return NiceOf(event_thread) == 5; }, 10s));
}

TEST_F(PortTest, APriorityChangeReachesTheRunningThread) {
  comm.SetDirectWrite(true);
  const Tids before = ThreadsBeforeOpening();
  comm.OpenPort();
  const Tids started = NewThreads(before, ThreadsOfThisProcess());
  ASSERT_EQ(started.size(), 1u);
  const pid_t event_thread = *started.begin();
  comm.SetEventPriority(TThreadPriority::tpIdle);
  EXPECT_TRUE(PumpUntil([&] { return NiceOf(event_thread) == 19; }, 10s));
}

}  // namespace
}  // namespace m797::serial::testing
