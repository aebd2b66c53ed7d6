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

namespace {

// Qt's own notes (a missing runtime folder, font fall-backs) are no business of a script reading
// this program's output; its errors still show.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "m797-cli: %s\n", qPrintable(message));
  }
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
    return exit_code;
  }
  signal(SIGPIPE, SIG_IGN);
  qInstallMessageHandler(QtMessages);

  if (options->command == Command::Report) {
    // Drawing needs fonts but no screen.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qt_argc = 1;
    QGuiApplication app(qt_argc, argv);
    return RunReport(*options);
  }
  int qt_argc = 1;
  QCoreApplication app(qt_argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("m797-cli"));
  switch (options->command) {
    case Command::Live:
      return RunLive(*options);
    case Command::Codes:
      return RunCodes(*options);
    case Command::Clear:
      return RunClear(*options);
    case Command::Report:
      break;
  }
  return 0;
}
