// The real session's receive path on simulated time: started, woken up, then fed the input as the
// line hands it over, in chunks with pauses between them, so that answers, the retry and the
// watchdog interleave.  The adapter's echo of every request arrives as on the line.  The gauges
// must show numbers, the fault lists only the table's codes.
#include <cmath>
#include <string>

#include "chunked_input.h"
#include "fuzz_entries.h"
#include "session/trouble_codes.h"
#include "session_rig.h"

namespace m797::fuzz {

namespace {

constexpr int kControllerTypes = 3;
constexpr int kPages = 4;

void CheckControls(const session::test::FakeControls& controls) {
  for (const auto& [gauge, value] : controls.gauge_history)
    Expect(std::isfinite(value), "a gauge shows no number");
  for (const auto* memo : {&controls.memo1, &controls.memo2}) {
    Expect(memo->size() <= 255, "more faults listed than an answer holds");
    for (const std::string& line : *memo) {
      Expect(session::FindTroubleCode(line.substr(0, 4)) != nullptr,
             "a fault list names an unknown code");
    }
  }
}

}  // namespace

void SessionReceiveInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  session::test::SessionRig rig;
  // The first byte picks the controller type and the page shown.
  rig.settings.values["Vestrel/TYPE"] = std::to_string(data[0] % kControllerTypes);
  rig.controls.active_page = data[0] / kControllerTypes % kPages;
  rig.Create();
  rig.Start();
  ChunkedInput input(data + 1, size - 1);
  while (const auto chunk = input.Next()) {
    const std::int64_t at = rig.clock.now_us() + chunk->pause_ms * 1000;
    rig.ArriveAt(at, {chunk->bytes.begin(), chunk->bytes.end()});
    rig.RunUntil(at);
    const auto& assembler = rig.session.assembler();
    Expect(assembler.collected() >= 0 && static_cast<std::size_t>(assembler.collected()) <=
                                             session::FrameAssembler::kBufferSize,
           "assembly grew past its buffer");
  }
  CheckControls(rig.controls);
  rig.session.Button1Click();  // stop, as the user does
}

}  // namespace m797::fuzz
