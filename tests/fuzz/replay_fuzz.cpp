// ecusim --replay on any file: its answer table built from what the wire-log reader takes, then
// asked for every request the log holds, each twice, and for one it never made.  Every answer is
// a whole frame.
#include <string>

#include "fuzz_entries.h"
#include "log_input.h"
#include "replay.h"
#include "session/request_frame.h"
#include "wire_log/frame_splitter.h"

namespace m797::fuzz {

namespace {

void CheckAnswer(const ecusim::Bytes& answer) {
  const int length = wire_log::FrameSplitter::FrameLength(answer.data(), answer.size());
  Expect(length > 0 && static_cast<std::size_t>(length) == answer.size(),
         "a replayed answer is not a whole frame");
  Expect(answer[1] == session::kTesterAddress, "a replayed answer is not for the tester");
}

}  // namespace

void ReplayInput(const std::uint8_t* data, std::size_t size) {
  const auto read = LogLinesOf(data, size);
  if (!read) return;
  const std::vector<wire_log::WireLogLine>& lines = *read;
  ecusim::Replay replay(lines);
  Expect(replay.size() <= lines.size(), "more answers than lines");
  for (const wire_log::WireLogLine& line : lines) {
    const auto request = session::FrameData(line.bytes);
    const ecusim::Bytes asked(request.begin(), request.end());
    CheckAnswer(replay.Answer(asked));
    CheckAnswer(replay.Answer(asked));
  }
  CheckAnswer(replay.Answer({}));
}

}  // namespace m797::fuzz
