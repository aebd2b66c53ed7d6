// The tester's session on the real serial component, talking to the simulator over a
// pseudo-terminal.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <ctime>

#include "e2e_rig.h"
#include "line_checks.h"
#include "session/session_texts.h"

namespace m797::e2e {
namespace {

using Texts = std::vector<std::string>;

Texts Prefix(const Texts& all, std::size_t n) {
  return Texts(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(n, all.size())));
}

// Set-up, two full rounds of the type's cycle, every gauge value decoded, every pause kept.
void ExpectCycle(int type, const Texts& expected, std::vector<std::string> extra_args = {}) {
  extra_args.insert(extra_args.end(), {"--type", std::to_string(type)});
  E2eRig rig(extra_args, type - 1);
  ASSERT_TRUE(rig.Start()) << "the port did not open";
  ASSERT_TRUE(rig.WaitForRequests(expected.size() + 1));
  const auto actual = rig.controls.gauge_history;
  rig.Stop();
  EXPECT_EQ(rig.controls.label10, session::kLinkUpCaption);
  EXPECT_EQ(Prefix(rig.Requests(), expected.size()), expected);
  EXPECT_TRUE(rig.loop.errors().empty()) << rig.loop.errors().front();
  EXPECT_EQ(rig.timer3.ticks, 0) << "an answer went missing";
  EXPECT_EQ(rig.timer2.ticks, 0);

  // Every answer written before the stop reached the gauges, decoded.
  const auto frames = rig.sim->Frames();
  const auto expected_writes = ExpectedGaugeWrites(frames, type - 1);
  ASSERT_FALSE(actual.empty());
  ASSERT_LE(actual.size(), expected_writes.size());
  EXPECT_TRUE(std::equal(actual.begin(), actual.end(), expected_writes.begin()));
  EXPECT_GE(actual.size() + 12, expected_writes.size());  // at most the last answer is unread

  for (double pause : PausesAfterAnswers(frames))
    EXPECT_GE(pause, 201.0);
}

TEST(SessionOverLine, Type1Cycle) {
  ExpectCycle(1, {"81", "10 86", "21 06", "21 03", "21 04", "21 06", "21 03", "21 04", "21 06"});
}

TEST(SessionOverLine, Type2Cycle) {
  ExpectCycle(2, {"81", "10 86", "21 06", "21 02", "21 05", "21 03", "21 06", "21 02", "21 05",
                  "21 03", "21 06"});
}

TEST(SessionOverLine, Type3Cycle) {
  ExpectCycle(3, {"81", "10 86", "21 06", "21 02", "21 03", "21 06", "21 02", "21 03", "21 06"});
}

TEST(SessionOverLine, AnswersInOneByteChunksAreStillDecoded) {
  ExpectCycle(2,
              {"81", "10 86", "21 06", "21 02", "21 05", "21 03", "21 06", "21 02", "21 05",
               "21 03", "21 06"},
              {"--chunk", "1", "--chunk-gap", "2"});
}

TEST(SessionOverLine, GarbageBetweenFramesLosesNoAnswer) {
  ExpectCycle(1, {"81", "10 86", "21 06", "21 03", "21 04", "21 06", "21 03", "21 04", "21 06"},
              {"--garbage", "7"});
}

TEST(SessionOverLine, TroubleCodesAreReadAndCleared) {
  E2eRig rig({"--dtc", "0301:60", "--dtc", "0171:20", "--dtc", "0111:60"}, 0, 1);
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.loop.RunUntil([&] { return !rig.controls.memo1.empty(); }, 10s));
  EXPECT_EQ(rig.controls.memo1, Texts{"0301 - Обнаружены пропуски воспламенения в 1-ом цилиндре"});
  EXPECT_EQ(rig.controls.memo2, Texts{"0171 - Система топливоподачи слишком бедная"});

  rig.loop.Handle([&] { rig.session.Button2Click(); });
  ASSERT_TRUE(rig.loop.RunUntil(
      [&] { return rig.controls.memo1.empty() && rig.controls.memo2.empty(); }, 10s));
  const Texts requests = rig.Requests();
  const auto clear = std::find(requests.begin(), requests.end(), "14 FF 00");
  ASSERT_NE(clear, requests.end());
  EXPECT_EQ(Prefix(requests, 3), (Texts{"81", "10 86", "18 00 00 00"}));
  ASSERT_TRUE(rig.WaitForRequests(static_cast<std::size_t>(clear - requests.begin()) + 2));
  EXPECT_EQ(rig.Requests()[static_cast<std::size_t>(clear - requests.begin()) + 1], "18 00 00 00");
  rig.Stop();
}

TEST(SessionOverLine, NegativeAnswerRepeatsTheRequest) {
  E2eRig rig({"--negative-every", "3"});
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.WaitForRequests(10));
  rig.Stop();
  const auto frames = rig.sim->Frames();
  int refusals = 0;
  for (std::size_t i = 0; i + 2 < frames.size(); ++i) {
    if (!frames[i].received || frames[i + 1].received || frames[i + 2].received != true) continue;
    if (FrameText(frames[i + 1]).rfind("7F", 0) != 0) continue;
    ++refusals;
    EXPECT_EQ(FrameText(frames[i + 2]), FrameText(frames[i])) << "frame " << i;
  }
  EXPECT_GE(refusals, 2);
  EXPECT_EQ(rig.timer2.ticks, 0);
}

TEST(SessionOverLine, SilenceGivesOneRetryThenTheWatchdog) {
  E2eRig rig({"--silent-after", "3"});  // answers "81", "10 86", "21 06", then nothing
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.WaitForRequests(7, 20s));
  rig.Stop();
  const auto requests = rig.Requests();
  EXPECT_EQ(Prefix(requests, 7), (Texts{"81", "10 86", "21 06", "21 03", "21 03", "81", "81"}));
  std::vector<double> rx;
  for (const auto& f : rig.sim->Frames()) {
    if (f.received) rx.push_back(f.ms);
  }
  // Times as the simulator saw them: each carries the scheduling of two processes on a busy
  // machine, so they are checked loosely here; the exact timing is checked on simulated time.
  constexpr double kJitter = 100;
  EXPECT_GT(rx[4] - rx[3], 1000 + 300 - kJitter);  // the retry
  EXPECT_LT(rx[4] - rx[3], 1000 + 300 + kJitter);
  EXPECT_GT(rx[5] - rx[4], 2000 + 650 - kJitter);  // the watchdog: two pauses and the pattern
  EXPECT_LT(rx[5] - rx[4], 2000 + 650 + kJitter);
  EXPECT_GT(rx[6] - rx[5], 2000 + 650 - kJitter);
  EXPECT_LT(rx[6] - rx[5], 2000 + 650 + kJitter);
  EXPECT_EQ(rig.timer3.ticks, 1);
}

TEST(SessionOverLine, StopCommunicationClosesThePort) {
  E2eRig rig({"--stop-after", "4"});
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.loop.RunUntil([&] { return !rig.comm.PortOpen(); }, 10s));
  EXPECT_TRUE(rig.controls.port.enabled);
  EXPECT_EQ(rig.controls.caption, session::kStopCaption);
  EXPECT_EQ(rig.Requests().size(), 5u);
  rig.loop.RunFor(1500ms);
  EXPECT_EQ(rig.Requests().size(), 5u) << "nothing is sent after the port closed";
  EXPECT_TRUE(rig.loop.errors().empty());
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}
double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

TEST(SessionOverLine, HangUpIsReportedOnceWithoutSpinningAndANewStartWorks) {
  E2eRig rig({"--hangup-after", "3", "--hangup-ms", "8000"});
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.loop.RunUntil([&] { return !rig.loop.errors().empty(); }, 10s));
  const auto lost_at = std::chrono::steady_clock::now();
  const int watchdog_ticks_at_loss = rig.timer2.ticks;
  // The component's threads must not spin on the dead device; the main thread's own busy waits
  // are the session's and are left out of the count.
  const double process_before = ProcessCpuSeconds();
  const double main_before = ThreadCpuSeconds();
  rig.loop.RunFor(1000ms);
  const double others = (ProcessCpuSeconds() - process_before) - (ThreadCpuSeconds() - main_before);
  EXPECT_LT(others, 0.1) << "CPU seconds of the other threads in one second";

  // The session goes on: the retry, then the watchdog waking the dead line and asking again
  // every 2000 ms.  None of that shows anything more.
  constexpr int kWatchdogTicks = 3;
  ASSERT_TRUE(rig.loop.RunUntil(
      [&] {
        return rig.timer2.ticks >= watchdog_ticks_at_loss + kWatchdogTicks &&
               std::chrono::steady_clock::now() - lost_at >= kWatchdogTicks * 2000ms;
      },
      30s));
  EXPECT_EQ(rig.loop.errors().size(), 1u);
  if (rig.loop.errors().size() != 1) {
    for (const auto& e : rig.loop.errors())
      ADD_FAILURE() << "shown: " << e;
  }

  // Back after its pause: stop and start again.
  ASSERT_TRUE(rig.loop.RunUntil(
      [&] {
        auto lines = rig.sim->StatusLines();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
                 return l.find("linked") != std::string::npos;
               }) >= 2;
      },
      10s));
  rig.Stop();
  const std::size_t before = rig.Requests().size();
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.WaitForRequests(before + 3, 10s));
  const auto requests = rig.Requests();
  EXPECT_EQ((Texts{requests[before], requests[before + 1], requests[before + 2]}),
            (Texts{"81", "10 86", "21 06"}));
  rig.Stop();
}

}  // namespace
}  // namespace m797::e2e

#ifndef _WIN32
namespace m797::e2e {
namespace {

// The simulator itself, on Linux where it runs.
TEST(Ecusim, LeavesNoLinkBehindWhenStopped) {
  ConfigFolder config;
  EventLoop loop;
  const std::string link = config.path() + "/TARKON/ports/COM4";
  EcusimProcess sim(config.path() + "/ecusim.log", {"--port", "COM4", "--type", "3"});
  std::vector<std::string> lines;
  ASSERT_TRUE(loop.RunUntil(
      [&] {
        lines = sim.StatusLines();
        return !lines.empty();
      },
      10s));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_NE(lines[0].find("COM4 linked at " + link + " -> /dev/pts/"), std::string::npos)
      << lines[0];
  const int status = sim.Stop();
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

}  // namespace
}  // namespace m797::e2e
#endif
