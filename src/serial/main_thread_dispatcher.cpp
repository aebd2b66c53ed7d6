#include "serial/main_thread_dispatcher.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>

namespace m797::serial {

namespace {

// How often a thread waiting in a hand-over without a wake looks whether it has been stopped.
constexpr std::chrono::milliseconds kStopLookInterval(2);

}  // namespace

// What the waiting thread and the main thread share about one call.  Both hold it, so it lives
// until the later of the two has let go.
struct HandOverState {
  std::mutex mutex;
  std::condition_variable finished_signal;
  bool abandoned = false;
  bool finished = false;
  std::exception_ptr error;
};

void HandOverWake::Wake() {
  std::shared_ptr<HandOverState> state;
  {
    std::lock_guard lock(mutex_);
    state = waiting_;
  }
  if (!state) return;
  // Taking the state's mutex orders the wake after the waiter's look at its stop token, which
  // it takes under that mutex just before it sleeps: the wake cannot fall between the two.
  { std::lock_guard lock(state->mutex); }
  state->finished_signal.notify_all();
}

void MainThreadDispatcher::Invoke(std::function<void()> call) {
  Invoke(std::move(call), std::stop_token());
}

bool MainThreadDispatcher::Invoke(std::function<void()> call, std::stop_token stop,
                                  HandOverWake* wake) {
  if (OnMainThread()) {
    call();
    return true;
  }
  auto state = std::make_shared<HandOverState>();
  Post([state, call = std::move(call)] {
    {
      std::lock_guard lock(state->mutex);
      if (state->abandoned) return;
    }
    std::exception_ptr error;
    try {
      call();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(state->mutex);
      state->finished = true;
      state->error = std::move(error);
    }
    state->finished_signal.notify_all();
  });

  // Without a wake, waits in short slices and looks at stop between them, rather than with a
  // stop callback: the C++ library of mingw-w64's GCC 12 can hang for good when a thread destroys
  // a stop callback that the stopping thread is still running, which is just how a stopped
  // hand-over ends.
  if (wake) {
    std::lock_guard registering(wake->mutex_);
    wake->waiting_ = state;
  }
  struct Unregister {
    HandOverWake* wake;
    ~Unregister() {
      if (!wake) return;
      std::lock_guard unregistering(wake->mutex_);
      wake->waiting_.reset();
    }
  } unregister{wake};
  std::unique_lock lock(state->mutex);
  while (!state->finished) {
    if (stop.stop_requested()) {
      state->abandoned = true;
      return false;
    }
    if (stop.stop_possible() && !wake) {
      state->finished_signal.wait_for(lock, kStopLookInterval);
    } else {
      state->finished_signal.wait(lock);
    }
  }
  // The exception leaves the shared state here, so that it is released on this thread whichever
  // side lets go of the state last.
  std::exception_ptr error = std::move(state->error);
  lock.unlock();
  if (error) std::rethrow_exception(error);
  return true;
}

}  // namespace m797::serial
