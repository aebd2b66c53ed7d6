// Random streams of frames, cut into random chunks, through the frame assembly.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "session/frame_assembler.h"
#include "session/request_frame.h"

namespace m797::session {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Frame {
  Bytes bytes;
  Bytes data;
  bool reaches_tester;  // addressed to the tester with a correct checksum
};

Frame RandomFrame(std::mt19937& rng) {
  std::uniform_int_distribution<int> byte(0, 255);
  const bool long_form = rng() % 4 == 0;
  const std::size_t length = long_form ? rng() % 256 : rng() % 64;
  const bool to_tester = rng() % 2 == 0;
  Frame f;
  if (long_form) {
    f.bytes = {0x80, 0, 0, static_cast<std::uint8_t>(length)};
  } else {
    f.bytes = {static_cast<std::uint8_t>(0x80 + length), 0, 0};
    if (length == 0) f.bytes[0] = 0x80, f.bytes.push_back(0);  // 0x80 always has a length byte
  }
  f.bytes[1] = to_tester ? kTesterAddress : kControllerAddress;
  f.bytes[2] = to_tester ? kControllerAddress : kTesterAddress;
  for (std::size_t i = 0; i < length; ++i)
    f.data.push_back(static_cast<std::uint8_t>(byte(rng)));
  f.bytes.insert(f.bytes.end(), f.data.begin(), f.data.end());
  std::uint8_t sum = 0;
  for (std::uint8_t b : f.bytes)
    sum = static_cast<std::uint8_t>(sum + b);
  const bool corrupt = rng() % 8 == 0;
  f.bytes.push_back(corrupt ? static_cast<std::uint8_t>(sum + 1 + rng() % 255) : sum);
  f.reaches_tester = to_tester && !corrupt;
  return f;
}

// Cuts `stream` into chunks of 1 to max_chunk bytes.
std::vector<Bytes> Cut(const Bytes& stream, std::mt19937& rng, std::size_t max_chunk) {
  std::vector<Bytes> chunks;
  for (std::size_t at = 0; at < stream.size();) {
    const std::size_t n = std::min(stream.size() - at, 1 + rng() % max_chunk);
    chunks.emplace_back(stream.begin() + at, stream.begin() + at + n);
    at += n;
  }
  return chunks;
}

// Every frame handed on is addressed to the tester, adds up to its checksum and carries exactly
// the data that ResponseData reports, with zeros after it.
void ExpectSoundFrame(const FrameAssembler& assembler, const ResponseData& d) {
  const auto frame = assembler.frame();
  ASSERT_GE(frame.size(), 4u);
  ASSERT_EQ(frame[1], kTesterAddress);
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i + 1 < frame.size(); ++i)
    sum = static_cast<std::uint8_t>(sum + frame[i]);
  ASSERT_EQ(sum, frame.back());
  const std::size_t offset = frame[0] == 0x80 ? 4 : 3;
  ASSERT_EQ(d.length, frame.size() - offset - 1);
  for (std::size_t i = 0; i < d.length; ++i)
    ASSERT_EQ(d[i], frame[offset + i]);
  for (std::size_t i = d.length; i < ResponseData::kCapacity; ++i)
    ASSERT_EQ(d[i], 0);
}

TEST(FrameAssemblerRandom, EveryAnswerArrivesOnceInOrderWithItsData) {
  std::mt19937 rng(20261207);
  for (int stream_no = 0; stream_no < 100'000; ++stream_no) {
    std::vector<Frame> frames(1 + rng() % 6);
    Bytes stream;
    std::vector<Bytes> wanted;
    for (Frame& f : frames) {
      f = RandomFrame(rng);
      stream.insert(stream.end(), f.bytes.begin(), f.bytes.end());
      if (f.reaches_tester) wanted.push_back(f.data);
    }
    FrameAssembler assembler;
    std::vector<Bytes> got;
    for (const Bytes& chunk : Cut(stream, rng, 1 + rng() % 300)) {
      assembler.Feed(chunk.data(), chunk.size(), [&](const ResponseData& d) {
        got.emplace_back(d.bytes.begin(), d.bytes.begin() + d.length);
        return true;
      });
    }
    ASSERT_EQ(got, wanted) << "stream " << stream_no;
    ASSERT_EQ(assembler.state(), FrameAssembler::State::Idle);
  }
}

TEST(FrameAssemblerRandom, GarbageNeverLetsABadFrameThrough) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  int handed_on = 0;
  for (int stream_no = 0; stream_no < 100'000; ++stream_no) {
    std::vector<Bytes> chunks;
    for (int i = 0, n = 1 + rng() % 6; i < n; ++i) {
      const Frame f = RandomFrame(rng);
      for (Bytes& c : Cut(f.bytes, rng, 1 + rng() % 80))
        chunks.push_back(std::move(c));
    }
    // Garbage chunks of up to 1100 bytes, which is more than any buffer holds.
    for (int i = 0, n = 1 + rng() % 4; i < n; ++i) {
      Bytes garbage(1 + rng() % (rng() % 8 == 0 ? 1100 : 12));
      for (auto& b : garbage)
        b = static_cast<std::uint8_t>(byte(rng));
      chunks.insert(chunks.begin() + rng() % (chunks.size() + 1), std::move(garbage));
    }
    FrameAssembler assembler;
    for (const Bytes& chunk : chunks) {
      assembler.Feed(chunk.data(), chunk.size(), [&](const ResponseData& d) {
        ExpectSoundFrame(assembler, d);
        ++handed_on;
        return true;
      });
      ASSERT_LE(assembler.collected(), static_cast<std::int32_t>(FrameAssembler::kBufferSize));
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(handed_on, 50'000);  // most answers survive the garbage around them
}

}  // namespace
}  // namespace m797::session
