#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "cli/console_controls.h"
#include "cli/read_only_settings.h"
#include "cli/wire_tap_line.h"
#include "qt_adapters/qt_main_thread_dispatcher.h"
#include "qt_adapters/qt_session_timer.h"
#include "qt_adapters/qt_settings_store.h"
#include "serial/ser_comm.h"
#include "session/diagnostic_session.h"
#include "session/steady_clock.h"
#include "tester_port/adapter_line.h"
#include "tester_port/ser_comm_line.h"

namespace m797::cli {

// The session with the window's components, on the Qt event loop of a console program: the same
// serial component set up as the tester's port, the same timers, the window's settings read only,
// and the console's controls.  Declared in the order they depend on each other, so they go in the
// reverse order: the session first, then the serial component (which closes the port and ends its
// threads), then the hand-over its threads posted to.
//
// Every handler runs as the window runs it; an exception out of one goes to on_error, as the
// window shows it in its error box, and the program decides what follows.
struct ConsoleSession {
  // `wire_log_path` may be empty: no wire log.
  ConsoleSession(ConsoleControls& controls, const std::string& wire_log_path,
                 tester_port::AdapterChoice adapter);

  // Runs a handler of the session as the event loop runs it.
  void RunSessionHandler(const std::function<void()>& handler);

  std::function<void(const std::string& message)> on_error;
  // What the serial component reports itself, from outside any handler: a device that has gone.
  std::function<void(const std::string& message)> on_line_failure;
  // Called after every handler, whatever its outcome.
  std::function<void()> after_handler;

  qt_adapters::QtMainThreadDispatcher dispatcher;
  serial::TSerComm port{dispatcher};
  session::SteadyClock clock;
  qt_adapters::QtSettingsStore stored_settings;
  ReadOnlySettings settings{stored_settings};
  tester_port::AdapterLine adapter_line;
  WireTapLine line;  // the session's line: the adapter's, tapped for the wire log
  // The session's timers (SessionTimers: timer1, timer2, timer3).
  qt_adapters::QtSessionTimer link_status_timer;
  qt_adapters::QtSessionTimer watchdog_timer;
  qt_adapters::QtSessionTimer retry_timer;
  session::DiagnosticSession session;
};

}  // namespace m797::cli
