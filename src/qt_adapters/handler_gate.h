#pragma once

#include <deque>
#include <exception>
#include <functional>

namespace m797::qt_adapters {

// Lets one handler of the session run at a time, on the main thread.  While a handler runs (and
// its waits keep the event loop turning), every further handler that comes in is queued and runs,
// in the order it came, once the running one has returned: the session sees each event after the
// pause, exactly as if the pause had blocked the thread.
//
// A handler that throws has its exception passed to the failure handler after it has ended, with
// the gate open, so that handlers go on running while an error box is shown, as they do without
// a gate.
class HandlerGate {
 public:
  using Handler = std::function<void()>;
  using FailureHandler = std::function<void(std::exception_ptr)>;

  explicit HandlerGate(FailureHandler on_failure) : on_failure_(std::move(on_failure)) {}
  HandlerGate(const HandlerGate&) = delete;
  HandlerGate& operator=(const HandlerGate&) = delete;

  // Runs the handler now, or queues it behind the running one and those queued before it.
  void Run(Handler handler);

  bool Running() const { return running_; }

 private:
  FailureHandler on_failure_;
  std::deque<Handler> queued_;
  bool running_ = false;
};

}  // namespace m797::qt_adapters
