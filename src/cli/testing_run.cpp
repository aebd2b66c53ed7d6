#include "cli/testing_run.h"

#include <QCoreApplication>
#include <exception>

#include "cli/exit_codes.h"
#include "cli/stop_signals.h"

namespace m797::cli {

namespace {

tester_port::AdapterChoice AdapterChoiceOf(const std::string& name) {
  if (name == "kkl") return tester_port::AdapterChoice::Cable;
  if (name == "elm327") return tester_port::AdapterChoice::Elm327;
  return tester_port::AdapterChoice::Auto;
}

void PrintError(const std::string& message) {
  std::fprintf(stderr, "m797-cli: %s\n", message.c_str());
  std::fflush(stderr);
}

}  // namespace

TestingRun::TestingRun(const CliOptions& options, int page, int interrupted_code)
    : options_(options), page_(page), interrupted_code_(interrupted_code) {
  answer_wait_.setSingleShot(true);
  answer_wait_.setInterval(kAnswerWait);
  QObject::connect(&answer_wait_, &QTimer::timeout, [this] {
    if (!answered_) Finish(kExitNoAnswer, "no answer from the controller on " + port_name_);
  });
}

TestingRun::~TestingRun() = default;

int TestingRun::Run() {
  session_ = std::make_unique<ConsoleSession>(controls_, options_.wire_log_path,
                                              AdapterChoiceOf(options_.adapter));
  session_->on_error = [this](const std::string& message) { OnError(message); };
  session_->after_handler = [this] { CheckStillTesting(); };
  // The window shows the message and waits for the user to stop and start again; a recorder
  // that nobody watches would record nothing from then on.
  session_->on_line_failure = [this](const std::string& message) {
    PrintError(message);
    Finish(kExitFailed);
  };
  controls_.on_link_caption = [this] {
    if (controls_.link_caption() == session::kLinkUpCaption) answered_ = true;
    if (on_link_change) on_link_change();
  };

  // The window's start-up: the stored port and controller type; then what the command line says.
  session_->session.FormCreate();
  if (options_.port) {
    const int index = PortItemIndex(*options_.port);
    controls_.SetItemIndex(session::Selector::ComboBox1, index);
    // Any other name or path: no item selected, so the start opens the device named here.
    if (index < 0) session_->line.SetDeviceName(*options_.port);
  }
  if (options_.type) controls_.SetItemIndex(session::Selector::ComboBox2, *options_.type - 1);
  const int type_index = controls_.ItemIndex(session::Selector::ComboBox2);
  if (type_index < 0) {
    PrintError("the controller type the tester stored is not 1, 2 or 3; name one with --type");
    return kExitUsage;
  }
  controller_type_ = type_index + 1;
  const int port_index = controls_.ItemIndex(session::Selector::ComboBox1);
  port_name_ =
      port_index >= 0 ? "COM" + std::to_string(port_index + 1) : session_->line.DeviceName();
  controls_.SetActivePageIndex(page_);

  // From here Ctrl-C stops as the stop button does, also during the start.
  StopSignals stop_signals([this] { Finish(interrupted_code_); });
  started_at_ = std::chrono::steady_clock::now();
  try {
    session_->session.Button1Click();
  } catch (const std::exception& e) {
    PrintError(e.what());
    return session_->line.open_failed() ? kExitPortNotOpened : kExitFailed;
  }
  if (!controls_.Testing()) return kExitFailed;

  answer_wait_.start();
  if (on_started) on_started();
  const int code = QCoreApplication::exec();
  if (!session_->line.CloseLog()) {
    PrintError(session_->line.log_path() + ": could not be written completely");
    if (code == kExitOk) return kExitFailed;
  }
  return code;
}

void TestingRun::Finish(int exit_code, const std::string& message) {
  if (finishing_) return;
  finishing_ = true;
  exit_code_ = exit_code;
  if (!message.empty()) PrintError(message);
  answer_wait_.stop();
  QTimer::singleShot(0, &answer_wait_, [this] {
    StopAfterLastWrite(std::chrono::steady_clock::now() + std::chrono::milliseconds(300));
  });
}

void TestingRun::StopAfterLastWrite(std::chrono::steady_clock::time_point patience) {
  // The serial component drops what it has not yet written when the port closes: the request
  // just sent goes out whole rather than cut off, and the wire log holds only what went out.
  if (session_->line.sending() && session_->line.PortOpen() &&
      std::chrono::steady_clock::now() < patience) {
    QTimer::singleShot(2, &answer_wait_, [this, patience] { StopAfterLastWrite(patience); });
    return;
  }
  if (controls_.Testing()) RunSessionHandler([this] { session_->session.Button1Click(); });
  if (on_stopped) on_stopped(exit_code_);
  QCoreApplication::exit(exit_code_);
}

void TestingRun::OnError(const std::string& message) {
  PrintError(message);
}

void TestingRun::CheckStillTesting() {
  if (!controls_.Testing() || finishing_) return;
  // A lost device is reported once, by whichever notices it first: the serial thread (through
  // on_line_failure) or a handler's own call on the line, whose error on_error has printed.
  // Either way the session would go on waking a line that is gone.
  if (session_->port.DeviceLost()) {
    Finish(kExitFailed);
  } else if (!session_->line.PortOpen()) {
    Finish(kExitFailed, "the controller ended the communication (StopCommunication)");
  } else if (!session_->watchdog_timer.Enabled() && !session_->retry_timer.Enabled()) {
    // A failed send leaves neither the retry nor the watchdog running: the window waits for the
    // user to stop and start again, a recorder would wait for ever.
    Finish(kExitFailed, "testing has stopped after that error");
  }
}

}  // namespace m797::cli
