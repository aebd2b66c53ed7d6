#pragma once

#include "serial/ser_comm.h"
#include "session/diagnostic_session.h"
#include "session/steady_clock.h"
#include "qt_adapters/qt_main_thread_dispatcher.h"
#include "qt_adapters/qt_session_timer.h"
#include "qt_adapters/qt_settings_store.h"
#include "tester_port/ser_comm_line.h"

namespace m797::ui {

class TForm1;

// The non-visual components of the main window and the session that drives them.  Declared in
// the order they depend on each other, so they go in the reverse order: the session first, then
// the serial component (which closes the port and ends its threads), then the hand-over its
// threads posted to.
struct Form1Session {
  Form1Session(TForm1& form, session::SessionControls& controls);

  qt_adapters::QtMainThreadDispatcher dispatcher;
  serial::TSerComm SerComm1{dispatcher};
  tester_port::SerCommLine line{SerComm1};
  session::SteadyClock clock;
  qt_adapters::QtSettingsStore settings;
  qt_adapters::QtSessionTimer Timer1;
  qt_adapters::QtSessionTimer Timer2;
  qt_adapters::QtSessionTimer Timer3;
  session::DiagnosticSession session;
};

}  // namespace m797::ui
