// The request cycle as the controller sees it, on simulated time.
#include <gtest/gtest.h>

#include "scripted_controller.h"
#include "session/poll_requests.h"
#include "session/session_texts.h"
#include "session_rig.h"

namespace m797::session::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;
using Kind = RecordingLine::Kind;

// A rig whose controller answers everything, started on the given page and controller type.
struct AnsweringRig : SessionRig {
  explicit AnsweringRig(int type = 0, int page = 0) {
    controller = [this](const std::string& r) { return ecu(r); };
    Create();
    controls.type.index = type;
    controls.active_page = page;
  }
  ScriptedController ecu;
};

Texts First(const Texts& all, std::size_t n) {
  return Texts(all.begin(), all.begin() + std::min(n, all.size()));
}

TEST(PollCycle, EachControllerTypeRunsItsOwnCycle) {
  const std::pair<int, Texts> cycles[] = {
      {0, {"81", "10 86", "21 06", "21 03", "21 04", "21 06", "21 03", "21 04", "21 06"}},
      {1, {"81", "10 86", "21 06", "21 02", "21 05", "21 03", "21 06", "21 02", "21 05"}},
      {2, {"81", "10 86", "21 06", "21 02", "21 03", "21 06", "21 02", "21 03", "21 06"}},
  };
  for (const auto& [type, expected] : cycles) {
    AnsweringRig rig(type);
    rig.Start();
    rig.RunUntilRequests(expected.size());
    EXPECT_EQ(rig.Requests(), expected) << "type index " << type;
    EXPECT_EQ(rig.timer2.ticks, 0);
    EXPECT_EQ(rig.timer3.ticks, 0);
    EXPECT_EQ(rig.controls.label10, kLinkUpCaption);
  }
}

TEST(PollCycle, EveryRequestLeavesMoreThan200MsAfterTheAnswer) {
  for (std::size_t chunk : {std::size_t{0}, std::size_t{1}, std::size_t{4}}) {
    AnsweringRig rig(1);
    rig.chunk_size = chunk;
    rig.Start();
    rig.RunUntilRequests(40);
    const auto sends = rig.Sends();
    ASSERT_EQ(sends.size(), 40u);
    for (std::size_t i = 1; i < sends.size(); ++i) {
      std::int64_t last_answer = 0;
      for (const auto& d : rig.deliveries) {
        if (d.at_us <= sends[i].at_us) last_answer = d.at_us;
      }
      EXPECT_GE(sends[i].at_us - last_answer, 201'000) << "request " << i << ", chunk " << chunk;
      EXPECT_LT(sends[i].at_us - last_answer, 203'000) << "request " << i << ", chunk " << chunk;
    }
  }
}

TEST(PollCycle, WaitsPollTheClockOnlyForTheirLastStretch) {
  // A wait that polled throughout would read the clock 20'000 times and more.
  constexpr std::int64_t kReadsPerWait = 2 * SimClock::kLastStretchUs / SimClock::kStepUs;
  AnsweringRig rig(1);
  rig.Start();
  const std::int64_t start_reads = rig.clock.reads();
  EXPECT_LT(start_reads, 3 * kReadsPerWait);  // more than 300 ms, then 25 ms and 25 ms
  rig.RunUntilRequests(40);
  EXPECT_LT(rig.clock.reads() - start_reads, 39 * kReadsPerWait);
}

TEST(PollCycle, TroubleCodePageReadsAndClears) {
  AnsweringRig rig(0, 1);
  rig.Start();
  rig.RunUntilRequests(4);
  EXPECT_EQ(rig.Requests(), (Texts{"81", "10 86", "18 00 00 00", "18 00 00 00"}));
  EXPECT_EQ(rig.controls.memo1.size(), 1u);
  EXPECT_EQ(rig.controls.memo2.size(), 1u);

  rig.session.Button2Click();
  rig.RunUntilRequests(7);
  EXPECT_EQ(First(rig.Requests(), 7), (Texts{"81", "10 86", "18 00 00 00", "18 00 00 00",
                                             "14 FF 00", "18 00 00 00", "18 00 00 00"}));
  // The controller reports no codes after the clear, and the lists say so.
  EXPECT_TRUE(rig.controls.memo1.empty());
  EXPECT_TRUE(rig.controls.memo2.empty());
}

TEST(PollCycle, PendingClearSurvivesATroubleCodeAnswer) {
  AnsweringRig rig(0, 1);
  rig.Start();
  rig.RunUntilRequests(3);  // "18 00 00 00" is out, its answer not yet in
  rig.session.Button2Click();
  rig.RunUntilRequests(4);
  EXPECT_EQ(rig.Requests().back(), "14 FF 00");
}

TEST(PollCycle, PageChangeCancelsAPendingClear) {
  AnsweringRig rig(0, 1);
  rig.Start();
  rig.RunUntilRequests(3);
  rig.session.Button2Click();
  rig.controls.active_page = 0;
  rig.session.PageControl1Change();
  rig.RunUntilRequests(8);
  const Texts requests = rig.Requests();
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "14 FF 00"), 0);
  EXPECT_EQ(requests[3], "21 06");
}

TEST(PollCycle, PageChangeDuringLiveDataWinsOverTheAnswerInFlight) {
  // The answer to the live-data request already sent still reaches the gauges, but the next
  // request follows the page the user chose, for either direction and for the clear button.
  AnsweringRig rig(0, 0);
  rig.Start();
  rig.RunUntilRequests(4);  // "21 03" is out, its answer not yet in
  rig.controls.active_page = 1;
  rig.session.PageControl1Change();
  rig.RunUntilRequests(6);
  EXPECT_EQ(First(rig.Requests(), 6),
            (Texts{"81", "10 86", "21 06", "21 03", "18 00 00 00", "18 00 00 00"}));
  EXPECT_TRUE(rig.controls.gauge(Gauge::VS_TOG).has_value());

  rig.controls.active_page = 0;
  rig.session.PageControl1Change();
  rig.RunUntilRequests(8);
  EXPECT_EQ(rig.Requests()[6], "21 06");
  EXPECT_EQ(rig.Requests()[7], "21 03");

  // A clear pressed while a live-data answer is on its way is sent, then codes are read.
  AnsweringRig clear(0, 0);
  clear.Start();
  clear.RunUntilRequests(4);
  clear.controls.active_page = 1;
  clear.session.PageControl1Change();
  clear.session.Button2Click();
  clear.RunUntilRequests(6);
  EXPECT_EQ(clear.Requests()[4], "14 FF 00");
  EXPECT_EQ(clear.Requests()[5], "18 00 00 00");
}

TEST(PollCycle, ProductPageKeepsAskingForTheSession) {
  AnsweringRig rig(0, 2);
  rig.Start();
  rig.RunUntilRequests(5);
  EXPECT_EQ(rig.Requests(), (Texts{"81", "10 86", "10 86", "10 86", "10 86"}));
  // The about page, or no page at all, reads live data.
  for (int page : {3, -1}) {
    AnsweringRig other(0, page);
    other.Start();
    other.RunUntilRequests(3);
    EXPECT_EQ(other.Requests()[2], "21 06") << page;
  }
}

TEST(PollCycle, NegativeAnswerRepeatsTheRequestAndKeepsTheWatchdogOff) {
  AnsweringRig rig(0);
  rig.controller = [&](const std::string& r) -> std::optional<Bytes> {
    if (r == "21 03") return Bytes{0x7F, 0x21, 0x12};
    return rig.ecu(r);
  };
  rig.Start();
  rig.RunFor(10'000);
  const Texts requests = rig.Requests();
  ASSERT_GT(requests.size(), 10u);
  EXPECT_EQ(First(requests, 4), (Texts{"81", "10 86", "21 06", "21 03"}));
  for (std::size_t i = 3; i < requests.size(); ++i)
    EXPECT_EQ(requests[i], "21 03");
  EXPECT_EQ(rig.timer2.ticks, 0);
  EXPECT_EQ(rig.timer3.ticks, 0);
}

TEST(PollCycle, AnswerWithoutARecordRepeatsTheRequest) {
  AnsweringRig rig(0);
  rig.controller = [&](const std::string& r) -> std::optional<Bytes> {
    if (r == "21 06") return Bytes{0x61, 0x02, 1, 2, 3};  // not part of type 1's cycle
    return rig.ecu(r);
  };
  rig.Start();
  rig.RunUntilRequests(6);
  EXPECT_EQ(rig.Requests(), (Texts{"81", "10 86", "21 06", "21 06", "21 06", "21 06"}));
  EXPECT_EQ(rig.controls.gauge(Gauge::VS_MRV), std::nullopt);
}

// The times of the sends, in ms after the first.
std::vector<double> SendTimesMs(const SessionRig& rig) {
  std::vector<double> times;
  const auto sends = rig.Sends();
  for (const auto& s : sends)
    times.push_back((s.at_us - sends[0].at_us) / 1000.0);
  return times;
}

TEST(PollCycle, SilenceAfterStartRepeatsWakeUpAndStartCommunication) {
  SessionRig rig;
  rig.Create();
  rig.Start();
  rig.RunFor(9'000);
  const Texts requests = rig.Requests();
  ASSERT_EQ(requests, Texts(4, "81"));
  // Each watchdog tick: 2000 ms, then more than 300 ms, the 50 ms pattern, more than 300 ms.
  const auto times = SendTimesMs(rig);
  for (std::size_t i = 1; i < times.size(); ++i) {
    EXPECT_GT(times[i] - times[i - 1], 2000 + 300 + 50 + 300) << i;
    EXPECT_LT(times[i] - times[i - 1], 2000 + 300 + 50 + 300 + 5) << i;
  }
  // Before every send, the wake-up pattern with more than 300 ms on both sides.
  const auto& ev = rig.line.events();
  for (std::size_t i = 0; i < ev.size(); ++i) {
    if (ev[i].kind != Kind::BreakOn) continue;
    ASSERT_LT(i + 2, ev.size());
    EXPECT_EQ(ev[i + 1].kind, Kind::BreakOff);
    EXPECT_EQ(ev[i + 2].kind, Kind::Send);
    EXPECT_NEAR(ev[i + 1].at_us - ev[i].at_us, 25'000, 50);
    if (i > 2) {  // a watchdog tick: pauses around the pattern
      EXPECT_GT(ev[i].at_us - ev[i - 1].at_us, 2000'000 + 300'000);
      EXPECT_GT(ev[i + 2].at_us - ev[i + 1].at_us, 25'000 + 300'000);
    }
  }
  EXPECT_EQ(std::count_if(ev.begin(), ev.end(), [](auto& e) { return e.kind == Kind::BreakOn; }),
            4);
  EXPECT_EQ(rig.timer3.starts, 0);
  EXPECT_EQ(rig.timer2.ticks, 3);
  EXPECT_EQ(rig.session.poll_state(), poll::kStartCommunication);
}

TEST(PollCycle, SilenceAfterAnAnswerRetriesOnceThenRunsTheWatchdog) {
  for (int page : {0, 1}) {
    AnsweringRig rig(0, page);
    bool answering = true;
    rig.controller = [&](const std::string& r) -> std::optional<Bytes> {
      if (!answering) return std::nullopt;
      if (r == "10 86") answering = false;  // answers this one, then falls silent
      return rig.ecu(r);
    };
    rig.Start();
    rig.RunFor(8000);
    const Texts regular = page == 0 ? Texts{"21 06", "21 06"} : Texts{"18 00 00 00", "18 00 FF 00"};
    EXPECT_EQ(rig.Requests(), (Texts{"81", "10 86", regular[0], regular[1], "81", "81"}));
    const auto times = SendTimesMs(rig);
    EXPECT_GT(times[3] - times[2], 1000 + 300);
    EXPECT_LT(times[3] - times[2], 1000 + 300 + 5);
    EXPECT_GT(times[4] - times[3], 2000 + 650);
    EXPECT_EQ(rig.timer3.ticks, 1);
    EXPECT_FALSE(rig.timer3.Enabled());
  }
}

TEST(PollCycle, LinkComesBackAfterTheWatchdog) {
  AnsweringRig rig(2);
  int silent_requests = 3;
  rig.controller = [&](const std::string& r) -> std::optional<Bytes> {
    if (silent_requests > 0) {
      --silent_requests;
      return std::nullopt;
    }
    return rig.ecu(r);
  };
  rig.Start();
  rig.RunUntilRequests(8);
  EXPECT_EQ(rig.Requests(), (Texts{"81", "81", "81", "81", "10 86", "21 06", "21 02", "21 03"}));
  EXPECT_FALSE(rig.timer2.Enabled());
}

TEST(PollCycle, UnsolicitedStopCommunicationClosesThePort) {
  AnsweringRig rig(0);
  rig.controller = [&](const std::string& r) -> std::optional<Bytes> {
    if (r == "21 04") return Bytes{0xC2};
    return rig.ecu(r);
  };
  rig.Start();
  rig.RunFor(10'000);
  EXPECT_EQ(rig.Requests().back(), "21 04");
  EXPECT_FALSE(rig.line.PortOpen());
  EXPECT_TRUE(rig.controls.port.enabled);
  EXPECT_FALSE(rig.controls.type.enabled);
  EXPECT_EQ(rig.controls.caption, kStopCaption);
  EXPECT_FALSE(rig.timer2.Enabled());
  EXPECT_FALSE(rig.timer3.Enabled());
  // The user stops and starts again: a fresh link.
  const std::size_t before = rig.line.sent().size();
  rig.session.Button1Click();
  rig.Start();
  rig.RunUntilRequests(before + 3);
  EXPECT_TRUE(rig.line.PortOpen());
  EXPECT_EQ(rig.Requests().back(), "21 06");
}

TEST(PollCycle, EverySendAbandonsAHalfAssembledFrame) {
  AnsweringRig rig(0);
  bool answering = true;
  rig.controller = [&](const std::string& r) -> std::optional<Bytes> {
    if (!answering) return std::nullopt;
    return rig.ecu(r);
  };
  rig.Start();
  rig.RunUntilRequests(2);
  answering = false;
  rig.RunUntilRequests(3);
  rig.RunFor(100);  // the echo of "21 06" is in; now half an answer
  rig.line.Arrive({0x8A, 0xF1, 0x11, 0x61});
  rig.session.SerComm1RxChar(rig.line.waiting());
  ASSERT_EQ(rig.session.assembler().state(), FrameAssembler::State::Collecting);
  rig.RunUntilRequests(4);  // the retry goes out; its echo is not back yet
  EXPECT_EQ(rig.Requests().back(), "21 06");
  EXPECT_EQ(rig.timer3.ticks, 1);
  EXPECT_EQ(rig.session.assembler().state(), FrameAssembler::State::Idle);
  EXPECT_EQ(rig.session.assembler().collected(), 4);  // counters are left alone
}

TEST(PollCycle, EchoAloneDoesNotStopTheTimers) {
  SessionRig rig;
  rig.Create();
  rig.Start();
  rig.RunFor(100);  // the echo of "81" has come back
  EXPECT_EQ(rig.deliveries.size(), 1u);
  EXPECT_TRUE(rig.timer2.Enabled());
  EXPECT_EQ(rig.controls.label10, kLinkDownCaption);
}

}  // namespace
}  // namespace m797::session::test
