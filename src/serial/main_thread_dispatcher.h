#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>

namespace m797::serial {

struct HandOverState;

// Wakes a thread that waits in a hand-over as soon as its stop has been requested, so that the
// waiting thread can sleep until the call has run instead of looking at its stop token in short
// slices.  The thread that requests the stop calls Wake afterwards.  (Stop callbacks would do the
// same, but the C++ library of mingw-w64's GCC 12 can hang for good when a thread destroys a stop
// callback that the stopping thread is still running.)
class HandOverWake {
 public:
  void Wake();

 private:
  friend class MainThreadDispatcher;
  std::mutex mutex_;
  std::shared_ptr<HandOverState> waiting_;  // guarded by mutex_: the hand-over waited in
};

// Hands calls from the component's threads to the main (user interface) thread.
//
// An implementation provides Post and OnMainThread; the blocking hand-over is built on them here,
// so every implementation blocks, rethrows and gives up in the same way.
class MainThreadDispatcher {
 public:
  virtual ~MainThreadDispatcher() = default;

  // Queues call to run on the main thread and returns at once.  Safe from any thread.
  virtual void Post(std::function<void()> call) = 0;
  // True on the main thread.
  virtual bool OnMainThread() const = 0;

  // Runs call on the main thread and blocks until it has run there; an exception it raises is
  // raised again in the caller.  On the main thread the call runs directly.
  void Invoke(std::function<void()> call);

  // As Invoke, but stops waiting as soon as stop is requested and returns false.  A call that has
  // not started by then never runs; one that is running finishes on the main thread, unobserved.
  // Without a wake, the wait looks at stop every 2 ms; with one, it sleeps until the call has run
  // or the wake comes.
  bool Invoke(std::function<void()> call, std::stop_token stop, HandOverWake* wake = nullptr);
};

}  // namespace m797::serial
