// ecusim: a K-line adapter and engine controller on a pseudo-terminal, for trying the tester
// without a car.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "options.h"
#include "simulator.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
  g_stop = 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace m797::ecusim;
  std::string message;
  int exit_code = 0;
  const auto options =
      ParseOptions(std::vector<std::string>(argv + 1, argv + argc), message, exit_code);
  if (!options) {
    std::fputs(message.c_str(), exit_code == 0 ? stdout : stderr);
    return exit_code;
  }

  std::FILE* log = stdout;
  if (!options->log_path.empty()) {
    log = std::fopen(options->log_path.c_str(), "a");
    if (!log) {
      std::perror(("ecusim: " + options->log_path).c_str());
      return 1;
    }
  }

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  int result = 0;
  {
    Simulator simulator(*options, log, stdout);
    result = simulator.Run(g_stop);
  }
  if (log != stdout) std::fclose(log);
  return result;
}
