#include "serial/main_thread_dispatcher.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>

namespace m797::serial {

namespace {

// What the waiting thread and the main thread share about one call.  Both hold it, so it lives
// until the later of the two has let go.
struct HandOverState {
  std::mutex mutex;
  std::condition_variable_any finished_signal;
  bool abandoned = false;
  bool finished = false;
  std::exception_ptr error;
};

}  // namespace

void MainThreadDispatcher::Invoke(std::function<void()> call) {
  Invoke(std::move(call), std::stop_token());
}

bool MainThreadDispatcher::Invoke(std::function<void()> call, std::stop_token stop) {
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

  std::unique_lock lock(state->mutex);
  if (!state->finished_signal.wait(lock, stop, [&] { return state->finished; })) {
    state->abandoned = true;
    return false;
  }
  // The exception leaves the shared state here, so that it is released on this thread whichever
  // side lets go of the state last.
  std::exception_ptr error = std::move(state->error);
  lock.unlock();
  if (error) std::rethrow_exception(error);
  return true;
}

}  // namespace m797::serial
