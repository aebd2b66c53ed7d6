#include "session/request_frame.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace m797::session {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(EncodeRequest, EveryRequestOfThePollCycle) {
  const std::pair<const char*, Bytes> cases[] = {
      {"81", {0x81, 0x11, 0xF1, 0x81, 0x04}},
      {"10 86", {0x82, 0x11, 0xF1, 0x10, 0x86, 0x1A}},
      {"21 02", {0x82, 0x11, 0xF1, 0x21, 0x02, 0xA7}},
      {"21 03", {0x82, 0x11, 0xF1, 0x21, 0x03, 0xA8}},
      {"21 04", {0x82, 0x11, 0xF1, 0x21, 0x04, 0xA9}},
      {"21 05", {0x82, 0x11, 0xF1, 0x21, 0x05, 0xAA}},
      {"21 06", {0x82, 0x11, 0xF1, 0x21, 0x06, 0xAB}},
      {"18 00 00 00", {0x84, 0x11, 0xF1, 0x18, 0x00, 0x00, 0x00, 0x9E}},
      {"18 00 FF 00", {0x84, 0x11, 0xF1, 0x18, 0x00, 0xFF, 0x00, 0x9D}},
      {"14 FF 00", {0x83, 0x11, 0xF1, 0x14, 0xFF, 0x00, 0x98}},
  };
  for (const auto& [text, frame] : cases)
    EXPECT_EQ(EncodeRequest(text), frame) << text;
}

TEST(EncodeRequest, BlanksCarryNoMeaningAndALoneDigitIsDropped) {
  EXPECT_EQ(EncodeRequest("2103"), EncodeRequest("21 03"));
  EXPECT_EQ(EncodeRequest(" 2 1 0 3 "), EncodeRequest("21 03"));
  EXPECT_EQ(EncodeRequest("21 0"), EncodeRequest("21"));
  EXPECT_EQ(EncodeRequest("ff"), EncodeRequest("FF"));
  EXPECT_EQ(EncodeRequest(""), (Bytes{0x80, 0x11, 0xF1, 0x82}));
}

TEST(EncodeFrame, ChoosesTheHeaderFormByLength) {
  const Bytes data63(63, 0x01);
  const Bytes frame63 = EncodeFrame(kTesterAddress, kControllerAddress, data63);
  EXPECT_EQ(frame63[0], 0xBF);
  EXPECT_EQ(frame63.size(), 67u);
  const Bytes data64(64, 0x01);
  const Bytes frame64 = EncodeFrame(kTesterAddress, kControllerAddress, data64);
  EXPECT_EQ((Bytes(frame64.begin(), frame64.begin() + 4)), (Bytes{0x80, 0xF1, 0x11, 64}));
  EXPECT_EQ(frame64.back(), static_cast<std::uint8_t>(0x80 + 0xF1 + 0x11 + 64 + 64));
  EXPECT_THROW(EncodeFrame(kTesterAddress, kControllerAddress, Bytes(256, 0)),
               std::invalid_argument);
}

TEST(FrameData, SkipsTheHeaderOfEitherFormAndTheChecksum) {
  const Bytes inline_form = EncodeRequest("21 03");
  const auto a = FrameData(inline_form);
  EXPECT_EQ(Bytes(a.begin(), a.end()), (Bytes{0x21, 0x03}));
  const Bytes long_form = EncodeFrame(kTesterAddress, kControllerAddress, Bytes(70, 0x5A));
  const auto b = FrameData(long_form);
  EXPECT_EQ(Bytes(b.begin(), b.end()), Bytes(70, 0x5A));
  EXPECT_TRUE(FrameData(Bytes{0x80, 0xF1, 0x11}).empty());
  EXPECT_TRUE(FrameData(Bytes{}).empty());
}

TEST(EncodeRequest, RefusesWhatIsNotARequest) {
  EXPECT_THROW(EncodeRequest("2G"), std::invalid_argument);
  EXPECT_THROW(EncodeRequest(std::string(64 * 2, '0')), std::invalid_argument);
  EXPECT_EQ(EncodeRequest(std::string(63 * 2, '0')).size(), 67u);
}

}  // namespace
}  // namespace m797::session
