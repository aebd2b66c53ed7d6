#include "session/frame_assembler.h"

#include <algorithm>
#include <cstring>

#include "session/request_frame.h"

namespace m797::session {

namespace {

constexpr std::uint8_t kLengthByteFormat = 0x80;  // header with a separate length byte
constexpr int kMaxInlineLength = 63;              // 0x81 .. 0xBF
constexpr std::int32_t kLongHeaderSize = 5;       // F, target, source, N and the checksum

}  // namespace

void FrameAssembler::Reset() {
  state_ = State::Idle;
  collected_ = 0;
  expected_ = 0;
  zero_length_flag_ = 0;
}

void FrameAssembler::Feed(const std::uint8_t* chunk, std::size_t count, const FrameSink& sink) {
  std::size_t position = 0;
  while (position < count) {
    const std::uint8_t* bytes = chunk + position;
    const std::size_t left = count - position;
    Step step{};
    switch (state_) {
      case State::Idle:
        step = FeedIdle(bytes, left);
        break;
      case State::Collecting:
        step = FeedCollecting(bytes, left);
        break;
      case State::HeaderPending:
        step = FeedHeaderPending(bytes, left);
        break;
    }
    position += step.consumed;
    if (step.complete) {
      ResponseData data;
      if (Decode(data) && !sink(data)) return;
    }
  }
}

void FrameAssembler::Append(const std::uint8_t* bytes, std::size_t count) {
  // The assembly never holds more than one frame (at most 260 bytes), so this bound is only a
  // guard: should it ever trip, the bytes are dropped and assembly starts over.
  if (collected_ < 0 || static_cast<std::size_t>(collected_) + count > kBufferSize) {
    Reset();
    return;
  }
  std::memcpy(buffer_.data() + collected_, bytes, count);
  collected_ += static_cast<std::int32_t>(count);
}

FrameAssembler::Step FrameAssembler::FeedIdle(const std::uint8_t* bytes, std::size_t count) {
  const std::uint8_t format = bytes[0];
  if (format == kLengthByteFormat) {
    if (count < 4) {
      collected_ = 0;
      Append(bytes, count);
      state_ = State::HeaderPending;
      return {count, false};
    }
    const std::uint8_t length = bytes[3];
    if (length == 0) zero_length_flag_ = 1;
    expected_ = length + kLongHeaderSize;
  } else if (format > kLengthByteFormat && format - kLengthByteFormat <= kMaxInlineLength) {
    expected_ = format - kLengthByteFormat + 4;
  } else {
    // Functional addressing (0xC0 and above) or no frame start at all: the chunk is dropped.
    return {count, false};
  }
  collected_ = 0;
  const std::size_t take = std::min(count, static_cast<std::size_t>(expected_));
  Append(bytes, take);
  if (collected_ < expected_) {
    state_ = State::Collecting;
    return {take, false};
  }
  // Whole in one chunk: the zero-length flag, if just set, stays set.
  state_ = State::Idle;
  collected_ = 0;
  return {take, true};
}

FrameAssembler::Step FrameAssembler::FeedCollecting(const std::uint8_t* bytes, std::size_t count) {
  // A frame with a separate length byte whose header is complete takes its length from that byte
  // once more.  Only that header form has a length byte at offset 3: for the other form it is the
  // service identifier, and reading it as a length would stretch the frame beyond its end.
  if (zero_length_flag_ == 1 && collected_ >= kLongHeaderSize && buffer_[0] == kLengthByteFormat) {
    expected_ = buffer_[3] + kLongHeaderSize;
  }
  const std::size_t missing = static_cast<std::size_t>(std::max(expected_ - collected_, 0));
  const std::size_t take = std::min(count, missing);
  Append(bytes, take);
  if (collected_ < expected_) return {take, false};
  return Complete(take);
}

FrameAssembler::Step FrameAssembler::FeedHeaderPending(const std::uint8_t* bytes,
                                                       std::size_t count) {
  const std::size_t missing = static_cast<std::size_t>(kLongHeaderSize - collected_);
  const std::size_t take = std::min(count, missing);
  Append(bytes, take);
  if (collected_ < kLongHeaderSize) return {take, false};
  state_ = State::Collecting;
  expected_ = buffer_[3] + kLongHeaderSize;
  // A frame without data is complete with its header; any longer one continues collecting.
  if (collected_ >= expected_) return Complete(take);
  return {take, false};
}

// Completion after collecting: back to idle, counters cleared.
FrameAssembler::Step FrameAssembler::Complete(std::size_t consumed) {
  state_ = State::Idle;
  collected_ = 0;
  zero_length_flag_ = 0;
  return {consumed, true};
}

bool FrameAssembler::Decode(ResponseData& out) const {
  const std::uint8_t format = buffer_[0];
  std::size_t offset = 0;
  std::size_t length = 0;
  if (format == kLengthByteFormat) {
    offset = 4;
    length = buffer_[3];
  } else if (format > kLengthByteFormat && format - kLengthByteFormat <= kMaxInlineLength) {
    offset = 3;
    length = format - kLengthByteFormat;
  } else {
    return false;
  }
  if (buffer_[1] != kTesterAddress) return false;
  // A frame whose bytes do not add up to its checksum was corrupted on the line; its values must
  // not reach the gauges.
  const std::size_t checksum_at = offset + length;
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < checksum_at; ++i)
    sum = static_cast<std::uint8_t>(sum + buffer_[i]);
  if (sum != buffer_[checksum_at]) return false;
  std::memcpy(out.bytes.data(), buffer_.data() + offset, length);
  out.length = length;
  return true;
}

}  // namespace m797::session
