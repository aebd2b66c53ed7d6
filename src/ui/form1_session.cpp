#include "ui/form1_session.h"

#include <functional>
#include <stdexcept>
#include <string>

#include "ui/exception_box.h"

namespace m797::ui {

namespace {

void PresentFailure(std::exception_ptr failure) {
  RunHandler([&failure] { std::rethrow_exception(failure); });
}

}  // namespace

Form1Session::Form1Session(session::SessionControls& controls)
    : gate(PresentFailure),
      Timer1(session::kLinkStatusIntervalMs,
             [this] { RunTimerHandler(Timer1, &session::DiagnosticSession::Timer1Timer); }),
      Timer2(session::kWatchdogIntervalMs,
             [this] { RunTimerHandler(Timer2, &session::DiagnosticSession::Timer2Timer); }),
      Timer3(session::kRetryIntervalMs,
             [this] { RunTimerHandler(Timer3, &session::DiagnosticSession::Timer3Timer); }),
      session(line, clock, {Timer1, Timer2, Timer3}, settings, controls) {
  dispatcher.SetGate(&gate);
  // The notification comes through the dispatcher, whose calls already pass the gate; the count
  // is taken when the gate lets the call run.  Its error, and a message of the serial component
  // (which comes inside such a call too), is shown once the call has returned to the serial
  // thread that waits for it, with the gate open: a box left open must hold back neither the
  // serial thread nor the timers' ticks.
  tester_port::ConnectTesterPort(SerComm1, line, session,
                                 [this](const std::function<void()>& receive) {
                                   try {
                                     receive();
                                   } catch (...) {
                                     gate.Fail(std::current_exception());
                                   }
                                 });
  SerComm1.SetExceptionHandler([this](const std::string& message) {
    gate.Fail(std::make_exception_ptr(std::runtime_error(message)));
  });
  Timer1.SetEnabled(true);
}

void Form1Session::RunSessionHandler(void (session::DiagnosticSession::*handler)()) {
  gate.Run([this, handler] { (session.*handler)(); });
}

void Form1Session::RunTimerHandler(const qt_adapters::QtSessionTimer& timer,
                                   void (session::DiagnosticSession::*handler)()) {
  const std::uint64_t generation = timer.Generation();
  // A tick that comes while one of the same timer still waits in the gate takes its place, as a
  // window timer merges the ticks it could not deliver.
  gate.RunMerged(&timer, [this, &timer, generation, handler] {
    if (timer.Generation() == generation) (session.*handler)();
  });
}

}  // namespace m797::ui
