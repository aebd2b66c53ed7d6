#pragma once

#include <QObject>

#include "qt_adapters/handler_gate.h"
#include "serial/main_thread_dispatcher.h"

namespace m797::qt_adapters {

// The serial component's hand-over on the Qt event loop: a call is posted as a queued call to
// an object of the user interface thread.  The blocking, the rethrowing and the giving up when a
// port closes come from MainThreadDispatcher.  Calls still queued when the dispatcher goes away
// are dropped with its context object; the component that posts them must go first.
class QtMainThreadDispatcher final : public serial::MainThreadDispatcher {
 public:
  QtMainThreadDispatcher();

  void Post(std::function<void()> call) override;
  bool OnMainThread() const override;

  // Passes every posted call through the gate, so that a hand-over that comes in while a handler
  // of the session pauses waits, its thread blocked, until that handler has returned.  Set before
  // any thread posts; the gate must outlive the dispatcher.
  void SetGate(HandlerGate* gate) { gate_ = gate; }

 private:
  QObject context_;  // lives on the thread that created the dispatcher
  HandlerGate* gate_ = nullptr;
};

}  // namespace m797::qt_adapters
