#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "serial/main_thread_dispatcher.h"

namespace m797::serial {

// A main-thread dispatcher for programs without a user interface loop (tests, the simulator,
// benchmarks): the thread that constructs it is the main thread and pumps it by calling
// RunPending or RunUntil.
class LoopDispatcher : public MainThreadDispatcher {
 public:
  LoopDispatcher();

  void Post(std::function<void()> call) override;
  bool OnMainThread() const override;

  // Runs the calls queued so far, and those they queue, in order; returns how many ran.  An
  // exception from a posted call passes to the caller; the calls behind it stay queued.
  int RunPending();

  // Pumps until done() holds or timeout has passed; returns done().  Waits on a condition
  // variable between calls: a Post or Wake ends the wait at once, and done() is looked at again
  // at least every recheck interval for conditions that nothing posts about.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                std::chrono::milliseconds recheck = std::chrono::milliseconds(5));

  // Pumps for the whole of duration.
  void RunFor(std::chrono::milliseconds duration);

  // Ends a wait in RunUntil so that it looks at its condition again.  Safe from any thread.
  void Wake();

  // Calls queued and not yet started.
  int PendingCount() const;
  // Waits, without running anything, until at least count calls are queued; false after timeout.
  bool WaitForPending(int count, std::chrono::milliseconds timeout);

 private:
  bool RunOne();

  const std::thread::id owner_;
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> calls_;  // guarded by mutex_
  bool woken_ = false;                       // guarded by mutex_
};

}  // namespace m797::serial
