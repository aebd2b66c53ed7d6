#include "cli/console_session.h"

#include <exception>

namespace m797::cli {

ConsoleSession::ConsoleSession(ConsoleControls& controls, const std::string& wire_log_path,
                               tester_port::AdapterChoice adapter)
    : adapter_line(port, clock, settings, adapter),
      line(adapter_line, wire_log_path),
      link_status_timer(session::kLinkStatusIntervalMs,
                        [this] { RunSessionHandler([this] { session.Timer1Timer(); }); }),
      watchdog_timer(session::kWatchdogIntervalMs,
                     [this] { RunSessionHandler([this] { session.Timer2Timer(); }); }),
      retry_timer(session::kRetryIntervalMs,
                  [this] { RunSessionHandler([this] { session.Timer3Timer(); }); }),
      session(line, clock, {link_status_timer, watchdog_timer, retry_timer}, settings, controls) {
  tester_port::ConnectTesterPort(
      port, adapter_line, session,
      [this](const std::function<void()>& receive) { RunSessionHandler(receive); });
  port.SetOnTxEmpty([this](serial::TSerCustomComm*) { line.WrittenOut(); });
  port.SetExceptionHandler([this](const std::string& message) {
    if (on_line_failure) on_line_failure(message);
  });
  link_status_timer.SetEnabled(true);
}

void ConsoleSession::RunSessionHandler(const std::function<void()>& handler) {
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
