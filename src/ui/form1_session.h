#pragma once

#include "qt_adapters/event_loop_clock.h"
#include "qt_adapters/handler_gate.h"
#include "qt_adapters/qt_main_thread_dispatcher.h"
#include "qt_adapters/qt_session_timer.h"
#include "qt_adapters/qt_settings_store.h"
#include "serial/ser_comm.h"
#include "session/diagnostic_session.h"
#include "tester_port/adapter_line.h"
#include "tester_port/ser_comm_line.h"

namespace m797::ui {

// The non-visual components of the main window and the session that drives them, wired to each
// other: the timers' ticks and the serial component's receive notification go straight to the
// session's handlers, through the gate that holds them back while a handler pauses, and under the
// program's exception guard.  Declared in the order they depend on each other, so they go in the
// reverse order: the session first, then the serial component (which closes the port and ends
// its threads), then the hand-over its threads posted to, and last the gate the hand-over runs
// its calls through.
struct Form1Session {
  explicit Form1Session(session::SessionControls& controls);

  // Runs a handler of the session now, or after the one that is running.
  void RunSessionHandler(void (session::DiagnosticSession::*handler)());

  qt_adapters::HandlerGate gate;
  qt_adapters::QtMainThreadDispatcher dispatcher;
  serial::TSerComm SerComm1{dispatcher};
  qt_adapters::EventLoopClock clock;
  qt_adapters::QtSettingsStore settings;
  tester_port::AdapterLine line{SerComm1, clock, settings};
  qt_adapters::QtSessionTimer Timer1;
  qt_adapters::QtSessionTimer Timer2;
  qt_adapters::QtSessionTimer Timer3;
  session::DiagnosticSession session;

 private:
  // RunSessionHandler for the tick of a timer: the handler runs unless the timer has been
  // disabled since the tick came, and at most one tick of a timer waits in the gate.
  void RunTimerHandler(const qt_adapters::QtSessionTimer& timer,
                       void (session::DiagnosticSession::*handler)());
};

}  // namespace m797::ui
