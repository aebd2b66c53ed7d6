#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "session/response_data.h"

namespace m797::session {

// Joins the chunks that the serial line reports into KWP2000 frames by the length their header
// announces, and hands on the data of every frame addressed to the tester.
//
// Two header forms: F = 0x80 carries a separate length byte N (frame N + 5 bytes long); F = 0x81
// to 0xBF carries the length L = F - 0x80 itself (frame L + 4 bytes long).  A chunk that starts
// idle with any other byte is dropped whole.  Frames are delimited by length alone, never by
// timing.  Frames to other targets (the adapter's echo of our own requests, addressed to the
// controller) and frames with a wrong checksum are dropped; the source address is not examined.
class FrameAssembler {
 public:
  enum class State : std::int32_t { Idle = 0, Collecting = 1, HeaderPending = 2 };

  static constexpr std::size_t kBufferSize = 1024;

  // Called for each frame addressed to the tester.  Returning false stops the processing of the
  // rest of the chunk (for example because the handler closed the port).
  using FrameSink = std::function<bool(const ResponseData&)>;

  // Processes one chunk.  When a frame completes inside the chunk, the bytes after it start the
  // next frame under the same rules.
  void Feed(const std::uint8_t* chunk, std::size_t count, const FrameSink& sink);

  // A request was sent: whatever is being assembled is abandoned.  Counters are left alone.
  void ResetToIdle() { state_ = State::Idle; }
  // Start-up and stop: idle with every counter at 0.
  void Reset();

  State state() const { return state_; }
  std::int32_t collected() const { return collected_; }
  std::int32_t expected() const { return expected_; }
  std::int32_t zero_length_flag() const { return zero_length_flag_; }
  // The bytes of the frame just completed, while the sink runs.
  std::span<const std::uint8_t> frame() const {
    return {buffer_.data(), static_cast<std::size_t>(expected_)};
  }

 private:
  // Each step consumes some bytes from the front of the chunk and reports whether a frame
  // completed; the completed frame is then in buffer_[0 .. expected_).
  struct Step {
    std::size_t consumed;
    bool complete;
  };
  Step FeedIdle(const std::uint8_t* bytes, std::size_t count);
  Step FeedCollecting(const std::uint8_t* bytes, std::size_t count);
  Step FeedHeaderPending(const std::uint8_t* bytes, std::size_t count);
  Step Complete(std::size_t consumed);
  void Append(const std::uint8_t* bytes, std::size_t count);
  // Extracts the response data of the completed frame; false when it is not for the tester.
  bool Decode(ResponseData& out) const;

  State state_ = State::Idle;
  std::array<std::uint8_t, kBufferSize> buffer_{};
  std::int32_t collected_ = 0;
  std::int32_t expected_ = 0;
  std::int32_t zero_length_flag_ = 0;
};

}  // namespace m797::session
