// Program start and end, settings, the start/stop button and the wake-up on the line.
#include <gtest/gtest.h>

#include <stdexcept>

#include "session/poll_requests.h"
#include "session/session_texts.h"
#include "session_rig.h"

namespace m797::session::test {
namespace {

using Kind = RecordingLine::Kind;
using Bytes = std::vector<std::uint8_t>;

TEST(SessionSettings, FirstRunSelectsFirstPortAndType) {
  SessionRig rig;
  rig.Create();
  EXPECT_EQ(rig.controls.port.index, 0);
  EXPECT_EQ(rig.controls.type.index, 0);
  EXPECT_EQ(rig.controls.gauge(Gauge::VS_TOG), 0.0f);
  EXPECT_EQ(rig.session.poll_state(), poll::kStartCommunication);
  EXPECT_EQ(rig.session.request_text(), "81");
}

TEST(SessionSettings, StoredValuesAreRestoredAndSaved) {
  SessionRig rig;
  rig.settings.values = {{"Vestrel/COM", "4"}, {"Vestrel/TYPE", "2"}};
  rig.Create();
  EXPECT_EQ(rig.controls.port.index, 4);
  EXPECT_EQ(rig.controls.type.index, 2);

  rig.controls.port.index = 6;
  rig.controls.type.index = -1;
  rig.session.FormClose();
  EXPECT_EQ(rig.settings.values["Vestrel/COM"], "6");
  EXPECT_EQ(rig.settings.values["Vestrel/TYPE"], "-1");
}

TEST(SessionSettings, UnreadableValueCountsAsAbsent) {
  SessionRig rig;
  rig.settings.values = {{"Vestrel/COM", "COM3"}, {"Vestrel/TYPE", "-1"}};
  rig.Create();
  EXPECT_EQ(rig.controls.port.index, 0);
  EXPECT_EQ(rig.controls.type.index, 0);
}

TEST(SessionSettings, PortOutsideTheListOpensThePreviousDevice) {
  SessionRig rig;
  rig.settings.values = {{"Vestrel/COM", "9"}};
  rig.Create();
  EXPECT_EQ(rig.controls.port.index, -1);
  rig.Start();
  EXPECT_EQ(rig.line.opened_devices(), std::vector<std::string>{"COM2"});
  rig.session.Button1Click();  // stop
  rig.controls.port.index = 4;
  rig.session.Button1Click();
  rig.session.Button1Click();
  rig.controls.port.index = -1;
  rig.session.Button1Click();
  EXPECT_EQ(rig.line.opened_devices(), (std::vector<std::string>{"COM2", "COM5", "COM5"}));
}

TEST(SessionStart, ASlowBreakCallTakesNothingOffEitherPhase) {
  SessionRig rig;
  rig.Create();
  rig.line.SetBreakOnCallTime(30'000);  // the break is on the line only when the call returns
  rig.Start();
  const auto& ev = rig.line.events();
  ASSERT_EQ(ev.size(), 5u);
  ASSERT_EQ(ev[3].kind, Kind::BreakOff);
  EXPECT_GE(ev[3].at_us - ev[2].at_us, 30'000 + 25'000);
  EXPECT_GE(ev[4].at_us - ev[3].at_us, 25'000);
}

TEST(SessionStart, WakesTheLineThenSendsStartCommunication) {
  SessionRig rig;
  rig.Create();
  rig.controls.port.index = 2;
  rig.Start();

  const auto& ev = rig.line.events();
  ASSERT_EQ(ev.size(), 5u);
  EXPECT_EQ(ev[0].kind, Kind::Open);
  EXPECT_EQ(ev[1].kind, Kind::DtrOn);
  EXPECT_EQ(ev[2].kind, Kind::BreakOn);
  EXPECT_EQ(ev[3].kind, Kind::BreakOff);
  EXPECT_EQ(ev[4].kind, Kind::Send);
  EXPECT_EQ(ev[4].bytes, (Bytes{0x81, 0x11, 0xF1, 0x81, 0x04}));
  EXPECT_EQ(rig.line.opened_devices(), std::vector<std::string>{"COM3"});

  // More than 300 ms of DTR before the pattern; 25 ms low, 25 ms high, then the request at once.
  EXPECT_GT(ev[2].at_us - ev[1].at_us, 300'000);
  EXPECT_LT(ev[2].at_us - ev[1].at_us, 302'000);
  EXPECT_NEAR(ev[3].at_us - ev[2].at_us, 25'000, 50);
  EXPECT_NEAR(ev[4].at_us - ev[3].at_us, 25'000, 50);

  EXPECT_EQ(rig.controls.caption, kStopCaption);
  EXPECT_FALSE(rig.controls.port.enabled);
  EXPECT_FALSE(rig.controls.type.enabled);
  EXPECT_TRUE(rig.timer2.Enabled());
  EXPECT_FALSE(rig.timer3.Enabled());
}

TEST(SessionStart, BusyWaitHoldsAcrossTheTickCounterWrap) {
  SessionRig rig;
  rig.Create();
  rig.clock.PlaceTickWrapAhead(100);
  rig.Start();
  const auto& ev = rig.line.events();
  ASSERT_GE(ev.size(), 3u);
  EXPECT_GT(ev[2].at_us - ev[1].at_us, 300'000);
  EXPECT_LT(ev[2].at_us - ev[1].at_us, 302'000);
}

TEST(SessionStop, ClosesSendsNothingAndResets) {
  SessionRig rig;
  rig.Create();
  rig.controller = [](const std::string& request) -> std::optional<Bytes> {
    if (request == "81") return Bytes{0xC1, 0xEF, 0x8F};
    if (request == "10 86") return Bytes{0x50, 0x86};
    return Bytes{0x61, 0x06, 0x64, 0, 0, 0x40, 0x1F};
  };
  rig.Start();
  rig.RunFor(1000);
  rig.line.Arrive({0x85, 0xF1, 0x11, 0x61});  // half an answer
  rig.session.SerComm1RxChar(rig.line.waiting());
  rig.controls.SetGaugeValue(Gauge::VS_TOG, 90.0f);
  ASSERT_NE(rig.session.poll_state(), poll::kStartCommunication);
  ASSERT_NE(rig.session.assembler().collected(), 0);

  const auto sends = rig.line.sent().size();
  rig.session.Button1Click();
  EXPECT_EQ(rig.line.sent().size(), sends);
  EXPECT_EQ(rig.line.events().back().kind, Kind::Close);
  EXPECT_FALSE(rig.line.PortOpen());
  EXPECT_EQ(rig.controls.caption, kStartCaption);
  EXPECT_EQ(rig.session.poll_state(), poll::kStartCommunication);
  EXPECT_EQ(rig.session.request_text(), "81");
  EXPECT_EQ(rig.session.assembler().state(), FrameAssembler::State::Idle);
  EXPECT_EQ(rig.session.assembler().collected(), 0);
  EXPECT_EQ(rig.session.assembler().zero_length_flag(), 0);
  EXPECT_EQ(rig.controls.gauge(Gauge::VS_TOG), 0.0f);
  EXPECT_EQ(rig.controls.gauge(Gauge::VS_Speed), 125.0f);  // the others keep their readings
  EXPECT_EQ(rig.controls.label10, kLinkUpCaption);         // until the next tick of Timer1
  EXPECT_TRUE(rig.controls.port.enabled);
  EXPECT_TRUE(rig.controls.type.enabled);
  EXPECT_FALSE(rig.timer2.Enabled());
  EXPECT_FALSE(rig.timer3.Enabled());

  rig.RunFor(10'000);
  EXPECT_EQ(rig.controls.label10, kLinkDownCaption);
  EXPECT_EQ(rig.line.sent().size(), sends);
}

TEST(SessionStart, FailedOpenShowsTheErrorAndLetsTheUserPickAnotherPort) {
  SessionRig rig;
  rig.Create();
  rig.line.FailOpenWith("Specified device not found (COM1).");
  try {
    rig.session.Button1Click();
    FAIL() << "the open error must reach the user";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Specified device not found (COM1).");
  }
  EXPECT_EQ(rig.controls.caption, kStartCaption);
  EXPECT_TRUE(rig.controls.port.enabled);
  EXPECT_TRUE(rig.controls.type.enabled);
  EXPECT_FALSE(rig.timer2.Enabled());
  EXPECT_FALSE(rig.timer3.Enabled());
  EXPECT_TRUE(rig.line.events().empty());

  rig.line.FailOpenWith("");
  rig.session.Button1Click();
  EXPECT_EQ(rig.controls.caption, kStopCaption);
}

TEST(SessionStart, FailureAfterOpenLeavesThePortClosed) {
  SessionRig rig;
  rig.Create();
  rig.line.FailSendWith("Output buffer is full. Please check comm status.");
  EXPECT_THROW(rig.session.Button1Click(), std::runtime_error);
  EXPECT_FALSE(rig.line.PortOpen());
  EXPECT_EQ(rig.controls.caption, kStartCaption);
  EXPECT_TRUE(rig.controls.port.enabled);
  EXPECT_FALSE(rig.timer2.Enabled());
}

TEST(SessionControl, UnknownCaptionDoesNothing) {
  SessionRig rig;
  rig.Create();
  rig.controls.caption = "Начать";
  rig.session.Button1Click();
  EXPECT_TRUE(rig.line.events().empty());
}

TEST(SessionReceive, ReadsNoMoreThanTheBufferHoldsAndOnlyWhatWasRead) {
  SessionRig rig;
  rig.Create();
  rig.Start();
  rig.line.ClearEvents();
  // 170 echoes fill 1020 bytes; the answer behind them straddles the end of the receive buffer,
  // so the count is read in two pieces and the answer is joined across them.
  Bytes burst;
  for (int i = 0; i < 170; ++i)
    burst.insert(burst.end(), {0x82, 0x11, 0xF1, 0x21, 0x06, 0xAB});
  const Bytes answer = AnswerFrame({0xC1, 0xEF, 0x8F});
  burst.insert(burst.end(), answer.begin(), answer.end());
  rig.line.Arrive(burst);
  rig.session.SerComm1RxChar(rig.line.waiting());
  EXPECT_EQ(rig.line.waiting(), 0);
  EXPECT_EQ(rig.session.poll_state(), poll::kStartDiagnosticSession);

  // A read shorter than the count assembles only what came.
  rig.line.LimitReadsTo(2);
  const Bytes next = AnswerFrame({0x50, 0x86});
  rig.line.Arrive(next);
  rig.session.SerComm1RxChar(static_cast<int>(next.size()));
  EXPECT_EQ(rig.session.assembler().state(), FrameAssembler::State::Collecting);
  EXPECT_EQ(rig.session.assembler().collected(), 2);
  rig.line.LimitReadsTo(1 << 30);
  rig.session.SerComm1RxChar(rig.line.waiting());
  EXPECT_EQ(rig.session.poll_state(), poll::kLiveData06);
}

}  // namespace
}  // namespace m797::session::test
