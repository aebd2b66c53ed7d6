#pragma once

#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "cli/console_controls.h"
#include "cli/console_session.h"

namespace m797::cli {

// One run of testing on the console, from the start button to the stop button: picks the port and
// the controller type (the window's stored ones unless the command line names others), starts as
// the window's start does, and stops as its stop does when the command is done, on Ctrl-C, when
// the controller never answers, or when the line fails.  Runs inside a Qt event loop.
class TestingRun {
 public:
  // How long after the start the controller must have answered once.
  static constexpr std::chrono::milliseconds kAnswerWait{6000};

  // `page`: the page of the window whose cycle to run (0 live data, 1 trouble codes).
  // `interrupted_code`: the exit code when Ctrl-C or SIGTERM ends the run.
  TestingRun(const CliOptions& options, int page, int interrupted_code);
  ~TestingRun();

  // Starts testing and runs the event loop until Finish; returns the exit code.  A start that
  // fails returns at once, with the message on standard error.
  int Run();

  // Ends the run after the handler now running has returned: stops testing as the window's stop
  // button does, then leaves the event loop with `exit_code`.  A message goes to standard error.
  // Only the first call counts.
  void Finish(int exit_code, const std::string& message = {});

  // Runs a handler of the session as the event loop does.
  void RunSessionHandler(const std::function<void()>& handler) {
    session_->RunSessionHandler(handler);
  }

  ConsoleControls& controls() { return controls_; }
  ConsoleSession& session() { return *session_; }
  // The port as the user knows it: "COM1", or the device path.
  const std::string& port_name() const { return port_name_; }
  int controller_type() const { return controller_type_; }
  bool answered() const { return answered_; }
  bool finishing() const { return finishing_; }
  std::chrono::steady_clock::time_point started_at() const { return started_at_; }

  // Called once testing has started.
  std::function<void()> on_started;
  // Called when the link status changes.
  std::function<void()> on_link_change;
  // Called with the exit code after testing has stopped, before the event loop ends.
  std::function<void(int)> on_stopped;

 private:
  void OnError(const std::string& message);
  // Stops once the last request has been written out whole, or when `patience` has passed.
  void StopAfterLastWrite(std::chrono::steady_clock::time_point patience);
  void CheckStillTesting();

  const CliOptions& options_;
  const int page_;
  const int interrupted_code_;
  ConsoleControls controls_;
  std::unique_ptr<ConsoleSession> session_;
  QTimer answer_wait_;
  std::string port_name_;
  int controller_type_ = 0;
  bool answered_ = false;
  bool finishing_ = false;
  int exit_code_ = 0;
  std::chrono::steady_clock::time_point started_at_;
};

}  // namespace m797::cli
