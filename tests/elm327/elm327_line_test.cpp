// The ELM327 line on the serial component over a pseudo-terminal: the test plays the chip at the
// master with the chip's own texts, cut anywhere, and checks what the chip gets and what the
// session gets (through the session's own frame assembler).  Time that matters is simulated.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "elm327/elm327_line.h"
#include "port_fixture.h"
#include "session/frame_assembler.h"
#include "session/request_frame.h"
#include "sim_clock.h"

namespace m797::elm327 {
namespace {

using serial::testing::Bytes;
using namespace std::chrono_literals;

const std::vector<std::string> kSetup = {"ATWS", "ATE0",  "ATL0",  "ATS1",   "ATH1",
                                         "ATAL", "ATTP5", "ATKW0", "ATSW00", "ATSH8111F1"};
constexpr const char* kStartAnswer = "83 F1 11 C1 EF 8F C4 \r\r>";
const Bytes kStartAnswerFrame = {0x83, 0xF1, 0x11, 0xC1, 0xEF, 0x8F, 0xC4};

class Elm327LineTest : public serial::testing::PortTest {
 protected:
  Elm327LineTest() {
    // As the owner wires it: the component's notification to the line, the line's to the
    // session, which reads as DiagnosticSession::SerComm1RxChar does.
    comm.SetOnRxChar([this](serial::TSerCustomComm*, int count) {
      text_seen_ += count;
      try {
        line.TextReceived(count);
      } catch (const serial::ESerCommError& e) {
        errors.push_back(e.what());
      }
    });
    line.on_frames = [this](int count) {
      std::uint8_t chunk[session::FrameAssembler::kBufferSize];
      while (count > 0) {
        const int read = line.ReadBytes(chunk, std::min<int>(count, sizeof chunk));
        if (read <= 0) return;
        assembler.Feed(chunk, static_cast<std::size_t>(read), [this](const auto&) {
          frames.emplace_back(assembler.frame().begin(), assembler.frame().end());
          return true;
        });
        count -= read;
      }
    };
  }
  ~Elm327LineTest() override { line.ClosePort(); }

  // The next command the chip gets, without its CR; empty when none comes.
  std::string ChipGets() {
    std::string got;
    PumpUntil([&] {
      for (;;) {
        const Bytes b = master.Read(1, 0ms);
        if (b.empty()) return false;
        if (b[0] == '\r') return true;
        got.push_back(static_cast<char>(b[0]));
      }
    });
    return got;
  }
  // The chip writes text, in pieces of `piece` characters (0: whole), each read by the line
  // before the next is written.
  void ChipSays(std::string_view text, std::size_t piece = 0) {
    if (piece == 0) piece = text.size();
    for (std::size_t at = 0; at < text.size(); at += piece) {
      const std::string_view part = text.substr(at, piece);
      master.Write(Bytes(part.begin(), part.end()));
      written_ += static_cast<int>(part.size());
      ASSERT_TRUE(PumpUntil([&] { return text_seen_ >= written_; }));
    }
  }
  // Opens the port and answers the set-up as a chip that takes every command.
  void OpenAndSetUp() {
    line.OpenPort();
    for (const std::string& command : kSetup) {
      ASSERT_EQ(ChipGets(), command);
      if (command == "ATWS") {
        ChipSays("ATWS\r\xfc\r\rELM327 v1.5\r\r>");  // echo on, garbage after the reset
      } else if (command == "ATE0") {
        ChipSays("ATE0\rOK\r\r>");
      } else {
        ChipSays("OK\r\r>");
      }
    }
  }
  void Send(std::string_view request_text) {
    const auto frame = session::EncodeRequest(request_text);
    line.SendBytes(frame.data(), static_cast<int>(frame.size()));
  }
  // StartCommunication through ATFI to the controller's answer.
  void StartCommunication() {
    Send("81");
    ASSERT_EQ(ChipGets(), "ATFI");
    ChipSays("BUS INIT: OK\r\r>");
    ASSERT_EQ(ChipGets(), "81");
    ChipSays(kStartAnswer);
  }
  bool ChipGotNothing() { return !line.chip_busy() && !master.Readable(20ms); }

  session::test::SimClock clock;
  Elm327Line line{comm, clock};
  session::FrameAssembler assembler;
  std::vector<Bytes> frames;  // what the session's assembler made of what it read
  std::vector<std::string> errors;
  int text_seen_ = 0;
  int written_ = 0;
};

TEST_F(Elm327LineTest, SetsTheChipUpAtItsRateAndTurnsRequestsAndAnswersIntoFrames) {
  OpenAndSetUp();
  EXPECT_EQ(master.ReadLineSettings().output_speed, 38400u);
  EXPECT_EQ(line.version(), "ELM327 v1.5");
  line.SetDtrState(true);  // the wake-up pattern puts nothing on the chip's line
  line.SetBreakState(true);
  StartCommunication();
  ASSERT_EQ(frames, std::vector<Bytes>{kStartAnswerFrame});

  // Long records in both header forms, each cut into pieces of every size.
  Bytes inline_form = {0xA0, 0xF1, 0x11, 0x61, 0x06};
  inline_form.resize(3 + 0x20, 0x5A);
  Bytes length_byte_form = {0x80, 0xF1, 0x11, 0x24, 0x61, 0x02};
  length_byte_form.resize(4 + 0x24, 0x33);
  for (Bytes* frame : {&inline_form, &length_byte_form}) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : *frame)
      sum = static_cast<std::uint8_t>(sum + b);
    frame->push_back(sum);
  }
  for (const Bytes& frame : {inline_form, length_byte_form}) {
    std::string text;
    for (std::uint8_t b : frame)
      text += HexText(std::span(&b, 1)) + " ";
    text += "\r\r>";
    for (std::size_t piece : {1u, 2u, 3u, 7u, 40u}) {
      frames.clear();
      Send("21 06");
      ASSERT_EQ(ChipGets(), "2106");
      ChipSays(text, piece);
      ASSERT_EQ(frames, std::vector<Bytes>{frame}) << piece;
    }
  }

  // Another header is set before the request that needs it.
  const auto other = session::EncodeFrame(0x12, 0xF1, std::vector<std::uint8_t>{0x21, 0x02});
  line.SendBytes(other.data(), static_cast<int>(other.size()));
  EXPECT_EQ(ChipGets(), "ATSH8112F1");
  ChipSays("OK\r\r>");
  EXPECT_EQ(ChipGets(), "2102");
  EXPECT_TRUE(errors.empty());

  line.ClosePort();
  EXPECT_EQ(comm.UserBaudrate(), 10400);  // as the cable's line needs it
}

// Each command waits for the prompt; a newer request replaces one still waiting, and one that
// waited past the session's retry time is dropped, not sent late.  Nothing empty is ever sent.
TEST_F(Elm327LineTest, RequestsWaitForThePromptAndStaleOnesAreDropped) {
  OpenAndSetUp();
  StartCommunication();
  Send("10 86");
  ASSERT_EQ(ChipGets(), "1086");
  ChipSays("82 F1 11 50 86 ");  // the answer line, its prompt not yet
  Send("21 05");
  Send("21 06");
  EXPECT_FALSE(master.Readable(20ms));
  ChipSays("\r\r>");
  EXPECT_EQ(ChipGets(), "2106");

  ChipSays("NO DATA\r");
  Send("21 06");  // the session's retry while the chip still works
  clock.AdvanceTo(clock.now_us() + 1'001'000);
  ChipSays("\r>");
  EXPECT_TRUE(ChipGotNothing());

  const Bytes no_data = {0x80, 0x11, 0xF1, 0x00, 0x82};
  EXPECT_THROW(line.SendBytes(no_data.data(), static_cast<int>(no_data.size())),
               serial::ESerCommError);
  EXPECT_TRUE(ChipGotNothing());
  EXPECT_TRUE(errors.empty());
}

// Every message of the chip after a request ends in silence for the session's retry, in the
// answer that follows it, or in one clear message until an answer comes.
TEST_F(Elm327LineTest, GivesEveryChipMessageItsOutcome) {
  OpenAndSetUp();
  StartCommunication();
  const struct {
    const char* says;
    bool answer;        // the session gets the frame that follows the message
    const char* error;  // the start of the message raised, if any
  } cases[] = {
      {"NO DATA\r", false, nullptr},
      {"STOPPED\r", false, nullptr},
      {"BUFFER FULL\r", false, nullptr},
      {"83 F1 11 C1 EF 8F C5 <DATA ERROR\r", false, nullptr},
      {"DATA ERROR\r", false, nullptr},
      {"UNABLE TO CONNECT\r", false, nullptr},
      {"BUS INIT: ...ERROR\r", false, nullptr},
      {"\x01\xfe garbage\r", false, nullptr},
      {"SEARCHING...\r83 F1 11 C1 EF 8F C4\r", true, nullptr},
      {"BUS INIT: ...OK\r83 F1 11 C1 EF 8F C4\r", true, nullptr},
      {"CAN ERROR\r", false, "The ELM327 adapter on "},
      {"CAN ERROR\r", false, nullptr},  // reported once
      {"83 F1 11 C1 EF 8F C4\r", true, nullptr},
      {"FB ERROR\r", false, "The ELM327 adapter on "},
      {"?\r", false, "The ELM327 adapter on "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    frames.clear();
    errors.clear();
    Send("81");
    ASSERT_EQ(ChipGets(), "ATFI");
    ChipSays("BUS INIT: OK\r\r>");
    ASSERT_EQ(ChipGets(), "81");
    ChipSays(std::string(c.says) + "\r>", 5);
    EXPECT_EQ(frames.size(), c.answer ? 1u : 0u);
    if (c.error) {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_EQ(errors[0].rfind(c.error, 0), 0u) << errors[0];
    } else {
      EXPECT_TRUE(errors.empty()) << errors[0];
    }
  }
  EXPECT_NE(errors[0].find("the request 81"), std::string::npos) << errors[0];
}

// A clone that refuses ATFI inits with the first request; later it closes its protocol first
// so that the request inits again.  A failed init sends no "81".
TEST_F(Elm327LineTest, InitsThroughCloneWithoutFastInitCommandAndDropsTheRequestOfAFailedInit) {
  OpenAndSetUp();
  Send("81");
  ASSERT_EQ(ChipGets(), "ATFI");
  ChipSays("BUS INIT: ...ERROR\r\r>");
  EXPECT_TRUE(ChipGotNothing());

  Send("81");
  ASSERT_EQ(ChipGets(), "ATFI");
  ChipSays("?\r\r>");
  ASSERT_EQ(ChipGets(), "81");
  ChipSays("BUS INIT: ...OK\r", 4);
  ChipSays(kStartAnswer, 4);
  EXPECT_EQ(frames, std::vector<Bytes>{kStartAnswerFrame});
  EXPECT_TRUE(line.init_command_refused());

  Send("81");
  ASSERT_EQ(ChipGets(), "ATPC");
  ChipSays("OK\r\r>");
  EXPECT_EQ(ChipGets(), "81");
  EXPECT_TRUE(errors.empty());
}

// A line of 10,000 characters is dropped; a prompt that never comes ends in one message and a
// fresh set-up; a refused set-up command in one message and the set-up again with the next
// request; a chip that restarts on its own is set up again before the next request.
TEST_F(Elm327LineTest, RecoversFromEndlessLinesMissingPromptsRefusalsAndRestarts) {
  OpenAndSetUp();
  StartCommunication();
  Send("21 06");
  ASSERT_EQ(ChipGets(), "2106");
  ChipSays(std::string(10'000, '8') + "\r", 997);
  ChipSays("\r>");
  EXPECT_TRUE(frames.size() == 1 && errors.empty());

  Send("21 06");
  ASSERT_EQ(ChipGets(), "2106");
  clock.AdvanceTo(clock.now_us() + 5'001'000);
  try {
    Send("21 06");
    ADD_FAILURE() << "no message";
  } catch (const serial::ESerCommError& e) {
    EXPECT_EQ(std::string(e.what()),
              "The ELM327 adapter on " + master.SlavePath() +
                  " gave no prompt within 5000 ms after 2106 (at 38400 bit/s): it is reset and "
                  "set up again.");
  }
  ASSERT_EQ(ChipGets(), "ATWS");
  ChipSays("?\r\r>");  // a clone without the warm start
  ASSERT_EQ(ChipGets(), "ATZ");
  ChipSays("\r\rELM327 v2.1\r\r>", 3);
  ASSERT_EQ(ChipGets(), "ATE0");
  ChipSays("OK\r\r>");
  ASSERT_EQ(ChipGets(), "ATL0");
  ChipSays("OK\r\r>");
  ASSERT_EQ(ChipGets(), "ATS1");
  ChipSays("?\r\r>");  // not needed
  ASSERT_EQ(ChipGets(), "ATH1");
  ChipSays("?\r\r>");  // needed
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("refused ATH1"), std::string::npos);
  EXPECT_TRUE(ChipGotNothing());

  Send("21 06");
  for (const std::string& command : kSetup) {
    ASSERT_EQ(ChipGets(), command);
    ChipSays("OK\r\r>");
  }
  ASSERT_EQ(ChipGets(), "2106");
  ChipSays("LV RESET\r\r>");
  Send("21 06");
  EXPECT_EQ(ChipGets(), "ATWS");
}

}  // namespace
}  // namespace m797::elm327
