// m797-cli: the tester's diagnostic session without its window, for recording live data, reading
// and clearing trouble codes from a script, and making a report of a recording.
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "qt_adapters/realtime_kit_grant.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

namespace {

// Drawing needs fonts but no screen: on Linux the offscreen platform, on Windows the minimal one
// with the system's fonts.  A platform the user names is kept.
void UseFontsWithoutScreen() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
#ifdef _WIN32
  qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
#else
  qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

// The texts are UTF-8 (the trouble codes' are Russian): a Windows console shows them as such, and
// takes the live screen's escape sequences for cursor and colour.  A pipe or a file gets the bytes.
void PrepareConsole() {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
#else
  signal(SIGPIPE, SIG_IGN);  // a closed pipe is a failed write, reported as such
#endif
}

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
    UseFontsWithoutScreen();
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
  PrepareConsole();
  qInstallMessageHandler(QtMessages);
  return WithStandardOutputChecked(RunCommand(*options, argv));
}
