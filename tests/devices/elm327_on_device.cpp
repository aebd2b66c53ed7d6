// The ELM327 path on a real serial driver: the tester's adapter line on the device, the simulator
// playing an ELM327 clone at its host end.  The start goes out as a K-line cable's, has no answer,
// and the session's next wake-up finds the chip at 38400 bit/s and goes on through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "e2e_rig.h"
#include "line_checks.h"
#include "session/session_texts.h"
#include "tester_port/adapter_line.h"

namespace m797::e2e {
namespace {

using Texts = std::vector<std::string>;

// The rig with the line the window and m797-cli use; `remembered` keeps what it found.
struct AdapterRig : E2eRig {
  AdapterRig(std::vector<std::string> args, session::SettingsStore& remembered)
      : E2eRig(std::move(args), 0, 0,
               [&remembered](serial::TSerComm& c, session::Clock& clock) {
                 return std::make_unique<tester_port::AdapterLine>(c, clock, remembered);
               }),
        adapter(static_cast<tester_port::AdapterLine&>(line)) {
    comm.SetOnRxChar([this](serial::TSerCustomComm*, int count) { adapter.Received(count); });
    adapter.on_bytes = [this](int count) { session.SerComm1RxChar(count); };
  }
  tester_port::AdapterLine& adapter;
};

TEST(DeviceElm327, TheCableStartFindsTheChipAndLiveDataEqualsTheControllersAnswers) {
  // The chip's init, then the session's StartCommunication through it, and one and a half
  // rounds of the type 1 cycle.  The cable start's bytes never make a line the chip takes.
  const Texts expected = {"81",    "81",    "10 86", "21 06", "21 03",
                          "21 04", "21 06", "21 03", "21 04", "21 06"};
  session::test::MemorySettings remembered;
  AdapterRig rig({"--adapter", "elm327"}, remembered);
  ASSERT_TRUE(rig.Start()) << "the port did not open";
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(rig.loop.RunUntil([&] { return !rig.controls.gauge_history.empty(); }, 20s));
  const auto first_data = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(rig.WaitForRequests(expected.size() + 1));
  const auto actual = rig.controls.gauge_history;
  const std::string found = rig.adapter.Description();
  rig.Stop();

  EXPECT_EQ(found, "ELM327 v1.5, 38400 bit/s");
  EXPECT_EQ(remembered.ReadInteger(session::kSettingsSection,
                                   tester_port::AdapterLine::RememberKey("COM1"), 0),
            38400);
  EXPECT_EQ(rig.controls.label10, session::kLinkUpCaption);
  const Texts requests = rig.Requests();
  EXPECT_EQ(
      Texts(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(expected.size())),
      expected);
  EXPECT_TRUE(rig.loop.errors().empty()) << rig.loop.errors().front();

  const auto frames = rig.sim->Frames();
  const auto expected_writes = ExpectedGaugeWrites(frames, 0);
  ASSERT_FALSE(actual.empty());
  ASSERT_LE(actual.size(), expected_writes.size());
  EXPECT_TRUE(std::equal(actual.begin(), actual.end(), expected_writes.begin()));
  EXPECT_GE(actual.size() + 12, expected_writes.size());  // at most the last answer is unread

  // The first pause is the chip's, from its init to the session's StartCommunication.
  std::vector<double> pauses = PausesAfterAnswers(frames);
  ASSERT_GE(pauses.size(), 3u);
  pauses.erase(pauses.begin());
  for (double pause : pauses)
    EXPECT_GE(pause, 201.0);
  std::sort(pauses.begin(), pauses.end());
  std::cout << "first live data "
            << std::chrono::duration_cast<std::chrono::milliseconds>(first_data).count()
            << " ms after the start; pauses on the K-line " << pauses.front() << " to "
            << pauses.back() << " ms, median " << pauses[pauses.size() / 2] << " ms\n";
}

}  // namespace
}  // namespace m797::e2e
