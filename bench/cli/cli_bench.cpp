// m797-cli as a mechanic runs it: a recording of live data against the simulator (60 s unless
// given in seconds on the command line), with the recorder's CPU share and resident memory while
// live data flows, then the time to make the report of that recording as a PDF and as a picture.
// With a second argument the picture is kept there (the README's report page is made so).
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e_rig.h"

namespace {

using Clock = std::chrono::steady_clock;

pid_t Start(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// User and system CPU seconds of a running process.
double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15; ++i) {
    fields >> field;
    if (i >= 14) ticks += std::stod(field);  // fields 14 and 15: utime, stime
  }
  return ticks / sysconf(_SC_CLK_TCK);
}

long RssKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// Runs a program to its end; its wall time in seconds, or a negative number when it failed.
double TimeRun(std::vector<std::string> args) {
  const auto begin = Clock::now();
  int status = 0;
  waitpid(Start(std::move(args)), &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const std::string picture = argc > 2 ? argv[2] : "";
  constexpr int kSettle = 5;  // start, wake-up and link set-up are not live data
  if (seconds <= kSettle + 1) {
    std::fprintf(stderr, "usage: cli_bench [seconds > %d] [report.png]\n", kSettle + 1);
    return 2;
  }
  m797::e2e::ConfigFolder config;
  m797::e2e::EcusimProcess sim(config.path() + "/ecusim.log",
                               {"--port", "COM1", "--dtc", "0301:60", "--dtc", "0171:20"});
  while (!sim.Linked())
    std::this_thread::sleep_for(std::chrono::milliseconds(10));

  const std::string csv = config.path() + "/drive.csv";
  const pid_t cli = Start({M797_CLI_PATH, "live", "--codes", "--port", "COM1", "--csv", csv,
                           "--wire-log", config.path() + "/wire.log"});
  std::this_thread::sleep_for(std::chrono::seconds(kSettle));
  const double cpu_start = CpuSeconds(cli);
  const auto wall_start = Clock::now();
  long rss_max = 0;
  for (int s = kSettle; s < seconds; ++s) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    rss_max = std::max(rss_max, RssKiB(cli));
  }
  const double cpu = CpuSeconds(cli) - cpu_start;
  const double wall = std::chrono::duration<double>(Clock::now() - wall_start).count();
  kill(cli, SIGINT);
  int status = 0;
  rusage usage{};
  wait4(cli, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "m797-cli live did not end well (status %d)\n", status);
    return 1;
  }
  int rows = -1;
  std::ifstream lines(csv);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty() && line[0] != '#') ++rows;

  std::printf("m797-cli live, %d s of live data (%d rows in %d s):\n", seconds - kSettle, rows,
              seconds);
  std::printf("  CPU %.3f s in %.1f s (%.2f %% of a core)\n", cpu, wall, 100 * cpu / wall);
  std::printf("  resident memory %.1f MB at most while live (%.1f MB peak over the run)\n",
              rss_max / 1024.0, usage.ru_maxrss / 1024.0);

  const std::string png = picture.empty() ? config.path() + "/report.png" : picture;
  const double pdf_s = TimeRun({M797_CLI_PATH, "report", csv, "--pdf", config.path() + "/r.pdf"});
  const double png_s = TimeRun({M797_CLI_PATH, "report", csv, "--png", png});
  std::printf("m797-cli report of that recording: PDF %.2f s, PNG %.2f s (whole program runs)\n",
              pdf_s, png_s);
  if (!picture.empty()) std::printf("report page kept in %s\n", picture.c_str());
  return pdf_s < 0 || png_s < 0 ? 1 : 0;
}
