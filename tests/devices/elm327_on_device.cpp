// The ELM327 path on a real serial driver: the tester's adapter line on the device, the simulator
// playing an ELM327 clone at its host end.  The start goes out as a K-line cable's, has no answer,
// and the session's next wake-up finds the chip at 38400 bit/s and goes on through it.
#include <gtest/gtest.h>

#include "chip_session_checks.h"
#include "e2e_rig.h"
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
  ChipRun run;
  ASSERT_NO_FATAL_FAILURE(RunToLiveData(rig, expected.size() + 1, 20s, run));
  const std::string found = rig.adapter.Description();
  rig.Stop();

  EXPECT_EQ(found, "ELM327 v1.5, 38400 bit/s");
  EXPECT_EQ(remembered.ReadInteger(session::kSettingsSection,
                                   tester_port::AdapterLine::RememberKey("COM1"), 0),
            38400);
  ExpectLinkUpAndRequests(rig, expected);

  const auto frames = rig.sim->Frames();
  ExpectSessionThroughChipMatches(run.writes, frames, 0, "", run.first_data);
}

}  // namespace
}  // namespace m797::e2e
