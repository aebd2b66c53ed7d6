#include "session/frame_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace m797::session {
namespace {

using Bytes = std::vector<std::uint8_t>;
using State = FrameAssembler::State;

// Feeds chunks and keeps the data of every frame that reached the tester.
struct Assembly {
  FrameAssembler assembler;
  std::vector<Bytes> frames;
  std::vector<ResponseData> raw;

  void Feed(const Bytes& chunk) {
    assembler.Feed(chunk.data(), chunk.size(), [&](const ResponseData& d) {
      frames.emplace_back(d.bytes.begin(), d.bytes.begin() + d.length);
      raw.push_back(d);
      return true;
    });
  }
};

// The bytes followed by their checksum.
Bytes Checked(Bytes bytes) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes)
    sum = static_cast<std::uint8_t>(sum + b);
  bytes.push_back(sum);
  return bytes;
}

const Bytes kEcho06 = {0x82, 0x11, 0xF1, 0x21, 0x06, 0xAB};
const Bytes kAnswer86 = Checked({0x86, 0xF1, 0x11, 0x61, 0x06, 0x64, 0x00, 0x00, 0x40});

TEST(FrameAssembler, EchoIsAssembledAndDropped) {
  Assembly a;
  a.Feed(kEcho06);
  EXPECT_TRUE(a.frames.empty());
  EXPECT_EQ(a.assembler.state(), State::Idle);

  a.Feed({0x82});
  EXPECT_EQ(a.assembler.state(), State::Collecting);
  EXPECT_EQ(a.assembler.expected(), 6);
  a.Feed({0x11, 0xF1, 0x21, 0x06, 0xAB});
  EXPECT_TRUE(a.frames.empty());
  EXPECT_EQ(a.assembler.state(), State::Idle);
}

TEST(FrameAssembler, AnswerInTwoChunks) {
  Assembly a;
  a.Feed({0x86});
  EXPECT_EQ(a.assembler.state(), State::Collecting);
  EXPECT_EQ(a.assembler.expected(), 10);
  EXPECT_EQ(a.assembler.collected(), 1);
  a.Feed(Bytes(kAnswer86.begin() + 1, kAnswer86.end()));
  ASSERT_EQ(a.frames.size(), 1u);
  EXPECT_EQ(a.frames[0], (Bytes{0x61, 0x06, 0x64, 0x00, 0x00, 0x40}));
  EXPECT_EQ(a.assembler.state(), State::Idle);
  EXPECT_EQ(a.assembler.collected(), 0);
}

TEST(FrameAssembler, EchoAndAnswerInOneChunkDecodeBoth) {
  Assembly a;
  Bytes chunk = kEcho06;
  chunk.insert(chunk.end(), kAnswer86.begin(), kAnswer86.end());
  a.Feed(chunk);
  ASSERT_EQ(a.frames.size(), 1u);
  EXPECT_EQ(a.frames[0][0], 0x61);
  EXPECT_EQ(a.assembler.state(), State::Idle);
}

TEST(FrameAssembler, AnswerStartingInTheEchoChunkCompletesLater) {
  Assembly a;
  Bytes chunk = kEcho06;
  chunk.insert(chunk.end(), kAnswer86.begin(), kAnswer86.begin() + 4);
  a.Feed(chunk);
  EXPECT_EQ(a.assembler.state(), State::Collecting);
  a.Feed(Bytes(kAnswer86.begin() + 4, kAnswer86.end()));
  ASSERT_EQ(a.frames.size(), 1u);
  EXPECT_EQ(a.frames[0].size(), 6u);
}

TEST(FrameAssembler, LengthByteHeaderAcrossChunks) {
  const Bytes frame = Checked({0x80, 0xF1, 0x11, 0x03, 0x58, 0x01, 0x02});
  {
    // Two bytes, then the rest: decoded as soon as it is complete.
    Assembly a;
    a.Feed({0x80, 0xF1});
    EXPECT_EQ(a.assembler.state(), State::HeaderPending);
    EXPECT_EQ(a.assembler.collected(), 2);
    a.Feed(Bytes(frame.begin() + 2, frame.end()));
    ASSERT_EQ(a.frames.size(), 1u);
    EXPECT_EQ(a.frames[0], (Bytes{0x58, 0x01, 0x02}));
    EXPECT_EQ(a.assembler.state(), State::Idle);
  }
  {
    // Header completed by the second chunk, data in the third.
    Assembly a;
    a.Feed({0x80, 0xF1, 0x11});
    a.Feed({0x03, 0x58});
    EXPECT_EQ(a.assembler.state(), State::Collecting);
    EXPECT_EQ(a.assembler.expected(), 8);
    a.Feed({0x01, 0x02, frame.back()});
    ASSERT_EQ(a.frames.size(), 1u);
  }
  {
    // One byte at a time.
    Assembly a;
    for (std::uint8_t b : frame)
      a.Feed({b});
    ASSERT_EQ(a.frames.size(), 1u);
    EXPECT_EQ(a.frames[0], (Bytes{0x58, 0x01, 0x02}));
  }
}

TEST(FrameAssembler, LengthByteHeaderWithNoData) {
  {
    Assembly a;
    a.Feed(Checked({0x80, 0xF1, 0x11, 0x00}));
    ASSERT_EQ(a.frames.size(), 1u);
    EXPECT_TRUE(a.frames[0].empty());
    EXPECT_EQ(a.raw[0][0], 0);
    // Whole in its first chunk: the zero-length flag stays set...
    EXPECT_EQ(a.assembler.zero_length_flag(), 1);
    // ...until a frame completes after collecting.
    const Bytes answer = Checked({0x83, 0xF1, 0x11, 0xC1, 0xEF, 0x8F});
    a.Feed(Bytes(answer.begin(), answer.begin() + 3));
    a.Feed(Bytes(answer.begin() + 3, answer.end()));
    EXPECT_EQ(a.frames.size(), 2u);
    EXPECT_EQ(a.assembler.zero_length_flag(), 0);
  }
  {
    // Completed by its last header byte in the header-pending state: decoded at once.
    Assembly a;
    a.Feed({0x80, 0xF1});
    a.Feed({0x11, 0x00, 0x82});  // 0x80 + 0xF1 + 0x11 + 0x00, modulo 256
    EXPECT_EQ(a.frames.size(), 1u);
    EXPECT_EQ(a.assembler.state(), State::Idle);
  }
}

TEST(FrameAssembler, StaleZeroLengthFlagDoesNotStretchAShortHeaderFrame) {
  Assembly a;
  a.Feed(Checked({0x80, 0xF1, 0x11, 0x00}));  // leaves the flag set
  const Bytes answer = Checked({0x83, 0xF1, 0x11, 0xC1, 0xEF, 0x8F});
  a.Feed(Bytes(answer.begin(), answer.begin() + 5));
  a.Feed({answer[5]});
  a.Feed({answer[6]});
  ASSERT_EQ(a.frames.size(), 2u);
  EXPECT_EQ(a.frames[1], (Bytes{0xC1, 0xEF, 0x8F}));
}

TEST(FrameAssembler, ChunksThatStartNoFrameAreDropped) {
  Assembly a;
  a.Feed({0xC1, 0xF1, 0x11, 0x00});
  EXPECT_EQ(a.assembler.state(), State::Idle);
  EXPECT_TRUE(a.frames.empty());
  // A continuation is read as a new frame start.
  a.Feed(Checked({0x81, 0xF1, 0x11, 0x7F}));
  ASSERT_EQ(a.frames.size(), 1u);
  EXPECT_EQ(a.frames[0], (Bytes{0x7F}));

  a.Feed({0x12, 0x86, 0xF1});
  EXPECT_EQ(a.assembler.state(), State::Idle);
  EXPECT_EQ(a.frames.size(), 1u);
}

TEST(FrameAssembler, ShortAnswerReadsZeroPastItsData) {
  Assembly a;
  a.Feed(Checked({0x82, 0xF1, 0x11, 0x61, 0x03}));
  ASSERT_EQ(a.raw.size(), 1u);
  EXPECT_EQ(a.raw[0].length, 2u);
  for (std::size_t i = 2; i < ResponseData::kCapacity; ++i)
    ASSERT_EQ(a.raw[0][i], 0) << i;
  EXPECT_EQ(a.raw[0][5000], 0);
}

TEST(FrameAssembler, WrongChecksumIsDroppedAndSourceIsNotExamined) {
  Assembly a;
  Bytes answer = Checked({0x81, 0xF1, 0x99, 0x50});
  a.Feed(answer);
  EXPECT_EQ(a.frames.size(), 1u);
  answer.back() ^= 0x01;
  a.Feed(answer);
  EXPECT_EQ(a.frames.size(), 1u);
  EXPECT_EQ(a.assembler.state(), State::Idle);
}

TEST(FrameAssembler, ResetToIdleAbandonsTheFrameButKeepsCounters) {
  Assembly a;
  a.Feed({0x86, 0xF1, 0x11});
  a.assembler.ResetToIdle();
  EXPECT_EQ(a.assembler.state(), State::Idle);
  EXPECT_EQ(a.assembler.collected(), 3);
  a.Feed({0x61, 0x06, 0x64, 0x00, 0x00, 0x40, 0x77});  // no frame start
  EXPECT_TRUE(a.frames.empty());
  a.assembler.Reset();
  EXPECT_EQ(a.assembler.collected(), 0);
  EXPECT_EQ(a.assembler.expected(), 0);
}

TEST(FrameAssembler, SinkCanStopTheRestOfTheChunk) {
  FrameAssembler assembler;
  Bytes two = Checked({0x81, 0xF1, 0x11, 0xC2});
  const Bytes second = Checked({0x81, 0xF1, 0x11, 0x50});
  two.insert(two.end(), second.begin(), second.end());
  int calls = 0;
  assembler.Feed(two.data(), two.size(), [&](const ResponseData&) {
    ++calls;
    return false;
  });
  EXPECT_EQ(calls, 1);
}

TEST(FrameAssembler, LongestFramesOfBothForms) {
  Assembly a;
  Bytes longest = {0x80, 0xF1, 0x11, 0xFF};
  for (int i = 0; i < 255; ++i)
    longest.push_back(static_cast<std::uint8_t>(i));
  longest = Checked(longest);
  Bytes inline_longest = {0xBF, 0xF1, 0x11};
  inline_longest.resize(3 + 63, 0x5A);
  inline_longest = Checked(inline_longest);
  Bytes both = longest;
  both.insert(both.end(), inline_longest.begin(), inline_longest.end());
  a.Feed(both);
  ASSERT_EQ(a.frames.size(), 2u);
  EXPECT_EQ(a.frames[0].size(), 255u);
  EXPECT_EQ(a.frames[0][254], 254);
  EXPECT_EQ(a.frames[1].size(), 63u);
}

}  // namespace
}  // namespace m797::session
