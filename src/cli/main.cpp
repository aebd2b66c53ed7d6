// m797-cli: the tester's diagnostic session without its window, for recording live data, reading
// and clearing trouble codes from a script, and making a report of a recording.
#include <signal.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "qt_adapters/realtime_kit_grant.h"

namespace {

// Qt's own notes (a missing runtime folder, font fall-backs) are no business of a script reading
// this program's output; its errors still show.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "m797-cli: %s\n", qPrintable(message));
  }
}

int RunCommand(const m797::cli::CliOptions& options, char** argv) {
  using namespace m797::cli;
  if (options.command == Command::Report) {
    // Drawing needs fonts but no screen.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qt_argc = 1;
    QGuiApplication app(qt_argc, argv);
    return RunReport(options);
  }
  int qt_argc = 1;
  QCoreApplication app(qt_argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("m797-cli"));
  const m797::qt_adapters::RealtimeKitGrant realtime_kit;  // the wake-up's real-time class
  switch (options.command) {
    case Command::Live:
      return RunLive(options);
    case Command::Codes:
      return RunCodes(options);
    case Command::Clear:
      return RunClear(options);
    case Command::Probe:
      return RunProbe(options);
    case Command::Report:
      break;
  }
  return kExitOk;
}

// What went to standard output must have reached it: a script that reads the codes from a full
// disk or a closed pipe learns it from the exit status.
int WithStandardOutputChecked(int exit_code) {
  using namespace m797::cli;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_code;
  std::fputs("m797-cli: standard output: could not be written completely\n", stderr);
  return exit_code == kExitOk ? kExitFailed : exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace m797::cli;
  std::string message;
  int exit_code = 0;
  const auto options =
      ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), message, exit_code);
  if (!options) {
    std::fputs(message.c_str(), exit_code == 0 ? stdout : stderr);
    return WithStandardOutputChecked(exit_code);
  }
  signal(SIGPIPE, SIG_IGN);
  qInstallMessageHandler(QtMessages);
  return WithStandardOutputChecked(RunCommand(*options, argv));
}
