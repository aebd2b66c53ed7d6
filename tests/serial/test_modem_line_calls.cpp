// When the component touches DTR and RTS.  A pseudo-terminal has no modem lines to look at, so
// the test runs a scenario of its own under strace and reads the modem-line requests that the
// component made of the kernel.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

// Run only under strace, by the test below.
TEST_F(PortTest, DISABLED_ModemLineScenario) {
  comm.OpenPort();         // both lines held off
  comm.SetDtrState(true);  // the adapter takes its power from DTR
  // Rewrites of the other line settings leave both lines as they are.
  comm.SetBaudrate(TSerBaudrate::br9600);
  comm.SetStopbits(TSerStopbits::sb2);
  comm.FlowControl()->SetXonXoffIn(true);
  comm.EventChars()->SetXonChar(0x11);
  // A line follows a change of its own control mode.
  comm.FlowControl()->SetControlRts(TSerControlRts::rtsEnabled);
  comm.FlowControl()->SetControlDtr(TSerControlDtr::dtrEnabled);
  comm.SetBaudrate(TSerBaudrate::br19200);
  comm.ClosePort();
}

std::string ThisProgram() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

// The modem-line requests in a strace log, in order, as "set DTR", "clear RTS" and so on.
std::vector<std::string> ModemLineRequests(const std::string& log_path) {
  std::vector<std::string> requests;
  std::ifstream log(log_path);
  std::string line;
  while (std::getline(log, line)) {
    for (const auto& [request, what] : {std::pair{"TIOCMBIS", "set "}, {"TIOCMBIC", "clear "}}) {
      for (const char* modem_line : {"DTR", "RTS"}) {
        if (line.find(std::string(request) + ", [TIOCM_" + modem_line + "]") != std::string::npos) {
          requests.push_back(what + std::string(modem_line));
        }
      }
    }
  }
  return requests;
}

TEST(ModemLineTest, DtrAndRtsAreTouchedOnlyAtOpenAndWhenTheirControlModeChanges) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  char log_path[] = "/tmp/m797-modem-lines-XXXXXX";
  const int log_fd = mkstemp(log_path);
  ASSERT_GE(log_fd, 0);
  close(log_fd);
  // The leak checker of an address-sanitized build cannot work under strace; the other tests of
  // the port run the same calls with it.
  const std::string command =
      "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 "
      "strace -f -qq -e trace=ioctl -o " +
      std::string(log_path) + " '" + ThisProgram() +
      "' --gtest_filter=PortTest.DISABLED_ModemLineScenario"
      " --gtest_also_run_disabled_tests >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  const std::vector<std::string> requests = ModemLineRequests(log_path);
  unlink(log_path);
  ASSERT_EQ(status, 0) << "the scenario failed: " << command;
  EXPECT_EQ(requests,
            (std::vector<std::string>{"clear DTR", "clear RTS", "set DTR", "set RTS", "set DTR"}));
}

}  // namespace
}  // namespace m797::serial::testing
