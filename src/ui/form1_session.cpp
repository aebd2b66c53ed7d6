#include "ui/form1_session.h"

#include "ui/exception_box.h"

namespace m797::ui {

namespace {

void PresentFailure(std::exception_ptr failure) {
  RunHandler([&failure] { std::rethrow_exception(failure); });
}

}  // namespace

Form1Session::Form1Session(session::SessionControls& controls)
    : gate(PresentFailure),
      Timer1(10000, [this] { RunTick(Timer1, &session::DiagnosticSession::Timer1Timer); }),
      Timer2(2000, [this] { RunTick(Timer2, &session::DiagnosticSession::Timer2Timer); }),
      Timer3(1000, [this] { RunTick(Timer3, &session::DiagnosticSession::Timer3Timer); }),
      session(line, clock, {Timer1, Timer2, Timer3}, settings, controls) {
  dispatcher.SetGate(&gate);
  tester_port::ConfigureTesterPort(SerComm1);
  // The notification comes through the dispatcher, whose calls already pass the gate; the count
  // is taken when the gate lets the call run.
  SerComm1.SetOnRxChar([this](serial::TSerCustomComm*, int count) {
    RunHandler([this, count] { session.SerComm1RxChar(count); });
  });
  SerComm1.SetExceptionHandler(
      [](const std::string& message) { PresentException(QString::fromStdString(message)); });
  Timer1.SetEnabled(true);
}

void Form1Session::Run(void (session::DiagnosticSession::*handler)()) {
  gate.Run([this, handler] { (session.*handler)(); });
}

void Form1Session::RunTick(const qt_adapters::QtSessionTimer& timer,
                           void (session::DiagnosticSession::*handler)()) {
  const std::uint64_t generation = timer.Generation();
  gate.Run([this, &timer, generation, handler] {
    if (timer.Generation() == generation) (session.*handler)();
  });
}

}  // namespace m797::ui
