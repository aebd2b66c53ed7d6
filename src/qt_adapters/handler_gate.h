#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <vector>

namespace m797::qt_adapters {

// Lets one handler of the session run at a time, on the main thread.  While a handler runs (and
// its waits keep the event loop turning), every further handler that comes in is queued and runs,
// in the order it came, once the running one has returned: the session sees each event after the
// pause, exactly as if the pause had blocked the thread.
//
// A failure of a handler, thrown out of it or reported from inside it, is passed to the failure
// handler after the handler has ended, with the gate open, so that handlers go on running while an
// error box is shown, as they do without a gate.
class HandlerGate {
 public:
  using Handler = std::function<void()>;
  using FailureHandler = std::function<void(std::exception_ptr)>;

  explicit HandlerGate(FailureHandler on_failure) : on_failure_(std::move(on_failure)) {}
  HandlerGate(const HandlerGate&) = delete;
  HandlerGate& operator=(const HandlerGate&) = delete;

  // Runs the handler now, or queues it behind the running one and those queued before it.
  void Run(Handler handler);

  // As Run, for the events of a source that merge while they wait, as a window timer's missed
  // ticks do: while a handler of the same source is still queued, the new one takes its place
  // there instead of queueing behind it, so that a source (not null) has at most one handler waiting.
  void RunMerged(const void* source, Handler handler);

  // Passes a failure to the failure handler once the running handler has ended; with no handler
  // running, at once.  For a failure that a handler reports rather than throws: one that a
  // component hands to its own error handler, or one that must wait until a call has returned.
  void Fail(std::exception_ptr failure);

  bool Running() const { return running_; }

 private:
  struct Queued {
    const void* source;  // null for a handler that never merges
    Handler handler;
  };

  // Runs the queue to its end, unless a handler is running.
  void RunQueue();

  FailureHandler on_failure_;
  std::deque<Queued> queued_;
  std::vector<std::exception_ptr> failures_;  // of the running handler
  bool running_ = false;
};

}  // namespace m797::qt_adapters
