#include "qt_adapters/handler_gate.h"

#include <algorithm>
#include <utility>

namespace m797::qt_adapters {

void HandlerGate::Run(Handler handler) {
  queued_.push_back({nullptr, std::move(handler)});
  RunQueue();
}

void HandlerGate::RunMerged(const void* source, Handler handler) {
  const auto waiting = std::find_if(queued_.begin(), queued_.end(), [source](const Queued& queued) {
    return queued.source == source;
  });
  if (waiting != queued_.end()) {
    // The newer handler, as it may carry a later state of its source.
    waiting->handler = std::move(handler);
  } else {
    queued_.push_back({source, std::move(handler)});
  }
  RunQueue();
}

void HandlerGate::Fail(std::exception_ptr failure) {
  if (running_)
    failures_.push_back(std::move(failure));
  else
    on_failure_(std::move(failure));
}

void HandlerGate::RunQueue() {
  if (running_) return;
  // Whoever finds the gate open runs the queue to its end.  A failure handler that runs an event
  // loop may come back here; that inner call then runs the rest of the queue, in order.
  while (!queued_.empty()) {
    Handler next = std::move(queued_.front().handler);
    queued_.pop_front();
    running_ = true;
    try {
      next();
    } catch (...) {
      failures_.push_back(std::current_exception());
    }
    running_ = false;
    // Taken out before any is shown: a handler that runs while one is shown keeps its own.
    const std::vector<std::exception_ptr> failures = std::exchange(failures_, {});
    for (const std::exception_ptr& failure : failures)
      on_failure_(failure);
  }
}

}  // namespace m797::qt_adapters
