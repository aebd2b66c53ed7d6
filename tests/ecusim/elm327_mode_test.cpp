// ecusim --adapter elm327 on its pseudo-terminal, driven as a program talks to an ELM327: the
// chip's texts, its timing, its K-line exchanges in the frame log, and its misbehaviours.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "e2e_rig.h"

namespace m797::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// The tester's end of the simulator's port, raw, at a chosen rate.
class ChipPort {
 public:
  explicit ChipPort(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {}
  ~ChipPort() {
    if (fd_ >= 0) close(fd_);
  }
  bool Open() const { return fd_ >= 0; }

  void SetRate(speed_t rate) {
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, rate);
    tcsetattr(fd_, TCSANOW, &tio);
  }

  // Writes `text` and returns what comes back up to and including the prompt, or what came
  // within `timeout` when no prompt came.
  std::string Say(const std::string& text, std::chrono::milliseconds timeout = 3000ms) {
    EXPECT_EQ(write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    std::string got;
    const auto end = Clock::now() + timeout;
    while (got.empty() || got.back() != '>') {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buf[256];
      const ssize_t n = read(fd_, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int fd_;
};

struct ChipRig {
  explicit ChipRig(std::vector<std::string> args) {
    args.insert(args.end(), {"--adapter", "elm327", "--port", "COM1"});
    sim = std::make_unique<EcusimProcess>(config.path() + "/ecusim.log", args);
    EXPECT_TRUE(loop.RunUntil([&] { return sim->Linked(); }, 10s));
    port = std::make_unique<ChipPort>(config.path() + "/TARKON/ports/COM1");
    EXPECT_TRUE(port->Open());
    port->SetRate(B38400);
  }
  ConfigFolder config;
  EventLoop loop;
  std::unique_ptr<EcusimProcess> sim;
  std::unique_ptr<ChipPort> port;
};

TEST(EcusimElm327, AnswersAsTheChipWithTheControllerBehindIt) {
  ChipRig rig({"--type", "2"});
  ChipPort& chip = *rig.port;

  const auto reset_at = Clock::now();
  EXPECT_EQ(chip.Say("ATZ\r"), "ATZ\r\rELM327 v1.5\r\r>");
  EXPECT_GE(Clock::now() - reset_at, 900ms) << "a full reset takes about a second";
  // The echo of ATE0 itself still comes; case and blanks do not matter.
  EXPECT_EQ(chip.Say("at e 0\r"), "at e 0\rOK\r\r>");
  EXPECT_EQ(chip.Say("ATI\r"), "ELM327 v1.5\r\r>");
  EXPECT_EQ(chip.Say("AT RV\r"), "12.6V\r\r>");
  EXPECT_EQ(chip.Say("ATXYZ\r"), "?\r\r>");
  EXPECT_EQ(chip.Say(std::string(10000, '2') + "\r"), "?\r\r>");
  // With the chip's own header the init goes to the OBD address, where no one answers.
  EXPECT_EQ(chip.Say("2106\r"), "SEARCHING...\rUNABLE TO CONNECT\r\r>");

  for (const char* command : {"ATSP5\r", "ATH1\r", "ATSH 81 11 F1\r"})
    EXPECT_EQ(chip.Say(command), "OK\r\r>") << command;
  EXPECT_EQ(chip.Say("ATFI\r"), "BUS INIT: OK\r\r>");
  EXPECT_EQ(chip.Say("81\r"), "83 F1 11 C1 EF 8F C4 \r\r>");
  EXPECT_EQ(chip.Say("2106\r"), "BUFFER FULL\r\r>") << "12 data bytes without ATAL";
  EXPECT_EQ(chip.Say("ATAL\r"), "OK\r\r>");
  const std::string live = chip.Say("2106\r");
  EXPECT_EQ(live.rfind("8C F1 11 61 06 ", 0), 0u) << live;
  // A lone CR repeats the last command; long records come with a length byte of their own.
  EXPECT_EQ(chip.Say("2102\r").rfind("80 F1 11 22 61 02 ", 0), 0u);
  EXPECT_EQ(chip.Say("\r").rfind("80 F1 11 22 61 02 ", 0), 0u);
  EXPECT_EQ(chip.Say("ATS0\r"), "OK\r\r>");
  EXPECT_EQ(chip.Say("1086\r"), "82F11150865A\r\r>");
  EXPECT_EQ(chip.Say("ATH0\r"), "OK\r\r>");
  EXPECT_EQ(chip.Say("ATL1\r"), "OK\r\n\r\n>");
  EXPECT_EQ(chip.Say("1086\r"), "5086\r\n\r\n>");
  // A character while the chip works stops it; then it takes commands again.
  EXPECT_EQ(chip.Say("1086\rX"), "STOPPED\r\n\r\n>");
  EXPECT_EQ(chip.Say("ATI\r"), "ELM327 v1.5\r\n\r\n>");

  // The log holds the K-line frames the chip exchanged, its own StartCommunications included:
  // the init to 0x33, ATFI's, the 81 asked for, 21 06 refused for its length, 21 06 with ATAL.
  const auto logged = rig.sim->Frames();
  const std::vector<std::string> expected = {"RX 81",    "RX 81",       "TX C1 EF 8F",
                                             "RX 81",    "TX C1 EF 8F", "RX 21 06",
                                             "TX 61 06", "RX 21 06",    "TX 61 06"};
  ASSERT_GE(logged.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string text = (logged[i].received ? "RX " : "TX ") + FrameText(logged[i]);
    EXPECT_EQ(text.rfind(expected[i], 0), 0u) << i << ": " << text;
  }
  EXPECT_EQ(logged[0].bytes[1], 0x33);
  // What the chip printed is the frame the controller sent.
  std::string frame_text;
  for (std::uint8_t b : logged[8].bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X ", b);
    frame_text += hex;
  }
  EXPECT_EQ(live, frame_text + "\r\r>");
}

TEST(EcusimElm327, CloneAtAnotherRateWithAControllerThatFallsSilent) {
  // The controller answers once (the chip's own StartCommunication), then never again.
  ChipRig rig(
      {"--elm-rate", "9600", "--elm-no-fi", "--elm-version", "ELM327 v2.1", "--silent-after", "1"});
  ChipPort& chip = *rig.port;
  EXPECT_EQ(chip.Say("ATI\r", 300ms), "") << "a tester at 38400 bit/s is not heard";
  chip.SetRate(B9600);
  EXPECT_EQ(chip.Say("ATI\r"), "ATI\rELM327 v2.1\r\r>");
  for (const char* command : {"ATE0\r", "ATTP5\r", "ATH1\r", "ATSH8111F1\r"})
    EXPECT_NE(chip.Say(command).find("OK\r\r>"), std::string::npos) << command;
  EXPECT_EQ(chip.Say("ATFI\r"), "?\r\r>");
  EXPECT_EQ(chip.Say("81\r"), "BUS INIT: OK\rNO DATA\r\r>");
  EXPECT_EQ(chip.Say("ATPC\r"), "OK\r\r>");
  EXPECT_EQ(chip.Say("81\r"), "BUS INIT: ...ERROR\r\r>");
}

}  // namespace
}  // namespace m797::e2e
