#pragma once

#include <functional>
#include <stop_token>

namespace m797::serial {

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
  bool Invoke(std::function<void()> call, std::stop_token stop);
};

}  // namespace m797::serial
