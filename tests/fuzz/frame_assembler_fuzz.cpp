// The session's frame assembler on the bytes of the line, in chunks of any size: every frame it
// hands on is whole, addressed to the tester, adds up to its checksum, and its data is exactly the
// bytes between header and checksum.
#include <algorithm>

#include "chunked_input.h"
#include "fuzz_entries.h"
#include "session/frame_assembler.h"
#include "session/request_frame.h"

namespace m797::fuzz {

namespace {

constexpr std::int64_t kRequestPauseMs = 200;  // a pause this long means a request went out
constexpr std::size_t kLongestData = 255;

void CheckFrame(const session::FrameAssembler& assembler, const session::ResponseData& data) {
  const auto frame = assembler.frame();
  Expect(frame.size() >= 5 && frame.size() <= 260, "frame length out of range");
  Expect(frame[1] == session::kTesterAddress, "frame not addressed to the tester");
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i + 1 < frame.size(); ++i)
    sum = static_cast<std::uint8_t>(sum + frame[i]);
  Expect(sum == frame.back(), "frame handed on with a wrong checksum");
  const auto payload = session::FrameData(frame);
  Expect(data.length == payload.size(), "data length differs from the frame's");
  Expect(std::equal(payload.begin(), payload.end(), data.bytes.begin()),
         "data differs from the frame's");
  // A frame carries at most 255 data bytes: what follows them must read 0.
  for (std::size_t i = data.length; i < kLongestData + 8; ++i)
    Expect(data[i] == 0, "data past the frame's end not 0");
}

}  // namespace

void FrameAssemblerInput(const std::uint8_t* data, std::size_t size) {
  session::FrameAssembler assembler;
  ChunkedInput input(data, size);
  while (const auto chunk = input.Next()) {
    if (chunk->pause_ms > kRequestPauseMs) assembler.ResetToIdle();
    assembler.Feed(chunk->bytes.data(), chunk->bytes.size(),
                   [&](const session::ResponseData& answer) {
                     CheckFrame(assembler, answer);
                     return true;
                   });
    Expect(assembler.collected() >= 0 && static_cast<std::size_t>(assembler.collected()) <=
                                             session::FrameAssembler::kBufferSize,
           "assembly grew past its buffer");
  }
}

}  // namespace m797::fuzz
