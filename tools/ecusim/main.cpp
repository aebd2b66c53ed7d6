// ecusim: a K-line adapter and engine controller on a pseudo-terminal, for trying the tester
// without a car.
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "options.h"
#include "simulator.h"
#include "wire_log/wire_log_reader.h"

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

  std::unique_ptr<Replay> replay;
  if (!options->replay_path.empty()) {
    try {
      replay = std::make_unique<Replay>(m797::wire_log::ReadWireLogFile(options->replay_path));
    } catch (const m797::wire_log::WireLogError& e) {
      std::fprintf(stderr, "ecusim: %s\n", e.what());
      return 2;
    }
    if (replay->size() == 0) {
      std::fprintf(stderr, "ecusim: %s: no answer to the tester in it\n",
                   options->replay_path.c_str());
      return 2;
    }
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
    Simulator simulator(*options, log, stdout, std::move(replay));
    result = simulator.Run(g_stop);
  }
  if (log != stdout) std::fclose(log);
  return result;
}
