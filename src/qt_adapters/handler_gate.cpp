#include "qt_adapters/handler_gate.h"

#include <utility>

namespace m797::qt_adapters {

void HandlerGate::Run(Handler handler) {
  queued_.push_back(std::move(handler));
  if (running_) return;
  // Whoever finds the gate open runs the queue to its end.  A failure handler that runs an event
  // loop may come back here; that inner call then runs the rest of the queue, in order.
  while (!queued_.empty()) {
    Handler next = std::move(queued_.front());
    queued_.pop_front();
    std::exception_ptr failure;
    running_ = true;
    try {
      next();
    } catch (...) {
      failure = std::current_exception();
    }
    running_ = false;
    if (failure) on_failure_(failure);
  }
}

}  // namespace m797::qt_adapters
