#include "cli/console_session.h"

#include <exception>

namespace m797::cli {

ConsoleSession::ConsoleSession(ConsoleControls& controls, const std::string& wire_log_path,
                               tester_port::AdapterChoice adapter)
    : port_line(SerComm1, clock, settings, adapter),
      line(port_line, wire_log_path),
      Timer1(10000, [this] { Handle([this] { session.Timer1Timer(); }); }),
      Timer2(2000, [this] { Handle([this] { session.Timer2Timer(); }); }),
      Timer3(1000, [this] { Handle([this] { session.Timer3Timer(); }); }),
      session(line, clock, {Timer1, Timer2, Timer3}, settings, controls) {
  tester_port::ConfigureTesterPort(SerComm1);
  SerComm1.SetOnRxChar([this](serial::TSerCustomComm*, int count) {
    Handle([this, count] { port_line.Received(count); });
  });
  port_line.on_bytes = [this](int count) { session.SerComm1RxChar(count); };
  SerComm1.SetOnTxEmpty([this](serial::TSerCustomComm*) { line.WrittenOut(); });
  SerComm1.SetExceptionHandler([this](const std::string& message) {
    if (on_line_failure) on_line_failure(message);
  });
  Timer1.SetEnabled(true);
}

void ConsoleSession::Handle(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    if (on_error) on_error(e.what());
  } catch (...) {
    if (on_error) on_error("Unknown exception");
  }
  if (after_handler) after_handler();
}

}  // namespace m797::cli
