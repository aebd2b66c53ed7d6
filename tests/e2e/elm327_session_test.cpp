// The tester's session through its ELM327 line, on the real serial component, against the
// simulator playing an ELM327 clone in front of its controller on a pseudo-terminal.
#include <gtest/gtest.h>

#include "chip_session_checks.h"
#include "e2e_rig.h"
#include "elm327/elm327_line.h"
#include "session/session_texts.h"

namespace m797::e2e {
namespace {

using Texts = std::vector<std::string>;

// The rig with the ELM327 line: the component's text goes to the line, the line's frames to
// the session, as the window and m797-cli wire them.
struct Elm327Rig : E2eRig {
  Elm327Rig(std::vector<std::string> args, int type_index)
      : E2eRig(WithChip(std::move(args)), type_index, 0,
               [](serial::TSerComm& c, session::Clock& clock) {
                 return std::make_unique<elm327::Elm327Line>(c, clock);
               }) {
    auto& chip_line = static_cast<elm327::Elm327Line&>(line);
    comm.SetOnRxChar(
        [&chip_line](serial::TSerCustomComm*, int count) { chip_line.TextReceived(count); });
    chip_line.on_frames = [this](int count) { session.SerComm1RxChar(count); };
  }
  static std::vector<std::string> WithChip(std::vector<std::string> args) {
    args.insert(args.end(), {"--adapter", "elm327"});
    return args;
  }
};

// Set-up, two rounds of the type's cycle: every gauge value is the decoding of an answer the
// controller sent through the chip, and the session's pace holds on the K-line.  The fourth run
// is a clone that refuses ATFI, whose first request makes the init.
TEST(SessionThroughElm327, LiveDataOfEveryTypeEqualsTheControllersAnswers) {
  const std::vector<Texts> cycles = {
      {"81", "10 86", "21 06", "21 03", "21 04", "21 06", "21 03", "21 04", "21 06"},
      {"81", "10 86", "21 06", "21 02", "21 05", "21 03", "21 06", "21 02", "21 05", "21 03"},
      {"81", "10 86", "21 06", "21 02", "21 03", "21 06", "21 02", "21 03", "21 06"}};
  for (int run = 1; run <= 4; ++run) {
    const int type = run == 4 ? 1 : run;
    const bool clone = run == 4;
    SCOPED_TRACE("controller type " + std::to_string(type) + (clone ? ", clone" : ""));
    const Texts& cycle = cycles[static_cast<std::size_t>(type - 1)];
    // The chip's own StartCommunication (its init) comes before the session's requests.
    Texts expected = {"81"};
    expected.insert(expected.end(), cycle.begin(), cycle.end());

    std::vector<std::string> args = {"--type", std::to_string(type)};
    if (clone) args.push_back("--elm-no-fi");
    Elm327Rig rig(args, type - 1);
    ChipRun result;
    ASSERT_NO_FATAL_FAILURE(RunToLiveData(rig, expected.size() + 1, 10s, result));
    rig.Stop();

    ExpectLinkUpAndRequests(rig, expected);
    EXPECT_EQ(rig.timer3.ticks, 0) << "an answer went missing";
    EXPECT_EQ(rig.timer2.ticks, 0);

    const auto frames = rig.sim->Frames();
    ExpectSessionThroughChipMatches(
        result.writes, frames, type - 1,
        "type " + std::to_string(type) + (clone ? " (clone)" : "") + ": ", result.first_data);
  }
}

}  // namespace
}  // namespace m797::e2e
