#pragma once

#include <algorithm>
#include <vector>

#include "../session/fake_controls.h"
#include "ecusim_process.h"
#include "session/live_data.h"
#include "session/request_frame.h"

namespace m797::e2e {

// Pauses, in ms, between the end of each answer and the request that follows it.
inline std::vector<double> PausesAfterAnswers(const std::vector<LoggedFrame>& frames) {
  std::vector<double> pauses;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    if (frames[i].received && !frames[i - 1].received) {
      pauses.push_back(frames[i].ms - frames[i - 1].ms);
    }
  }
  return pauses;
}

// The gauge writes that the live-data answers in the log call for, in order, computed with the
// tester's own decoding; writes of an unchanged value drop out as they do on a real gauge.
inline std::vector<std::pair<session::Gauge, float>> ExpectedGaugeWrites(
    const std::vector<LoggedFrame>& frames, int type_index) {
  session::test::FakeControls expected;
  for (const LoggedFrame& f : frames) {
    if (f.received) continue;
    session::ResponseData d;
    const auto data = session::FrameData(f.bytes);
    std::copy(data.begin(), data.end(), d.bytes.begin());
    if (d[0] == 0x61) session::ShowLiveData(d[1], d, type_index, expected);
  }
  return expected.gauge_history;
}

}  // namespace m797::e2e
