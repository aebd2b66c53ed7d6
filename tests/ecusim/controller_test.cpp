// The simulator's records, read back with the tester's own decoding.
#include "controller.h"

#include <gtest/gtest.h>

#include <map>

#include "../session/fake_controls.h"
#include "options.h"
#include "request_reader.h"
#include "session/live_data.h"

namespace m797::ecusim {
namespace {

using session::Gauge;
using session::test::FakeControls;

session::ResponseData AsResponse(const Bytes& data) {
  session::ResponseData d;
  std::copy(data.begin(), data.end(), d.bytes.begin());
  d.length = data.size();
  return d;
}

// Every record of a type's cycle decodes to the engine's values within the byte's resolution.
TEST(SimulatedController, RecordsDecodeToTheEngineState) {
  const EngineState e{2000.0, 40.0, 60.0, 25.0, 14.0, 30.0, 87.0, 8.5};
  const std::map<int, std::vector<std::uint8_t>> cycles = {
      {1, {0x06, 0x03, 0x04}}, {2, {0x06, 0x02, 0x05, 0x03}}, {3, {0x06, 0x02, 0x03}}};
  for (const auto& [type, cycle] : cycles) {
    Controller controller(type, {});
    FakeControls c;
    for (std::uint8_t lid : cycle) {
      const Bytes answer = controller.Answer({0x21, lid}, e);
      ASSERT_EQ(answer[0], 0x61);
      ASSERT_TRUE(session::ShowLiveData(lid, AsResponse(answer), type - 1, c).has_value());
    }
    EXPECT_NEAR(*c.gauge(Gauge::VS_Speed), 40.0, 1.0) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VI_Nmot), 2000.0, type == 3 ? 40.0 : 1.0) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VS_Nmot), 20.0, 0.5) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VS_TOG), 60.0, 1.0) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VS_TANS), 25.0, 1.0) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VS_Ub), 14.0, 0.1) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VS_THR), 30.0, 0.5) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VS_MRV), 87.0, 1.0) << type;
    EXPECT_NEAR(*c.gauge(Gauge::VS_DV), 8.5, 0.5) << type;
  }
}

TEST(SimulatedController, CodesServicesAndRefusals) {
  Controller controller(1, {{0x03, 0x01, 0x60}, {0x01, 0x71, 0x20}});
  const EngineState e{};
  EXPECT_EQ(controller.Answer({0x81}, e), (Bytes{0xC1, 0xEF, 0x8F}));
  EXPECT_EQ(controller.Answer({0x10, 0x86}, e), (Bytes{0x50, 0x86}));
  EXPECT_EQ(controller.Answer({0x18, 0x00, 0x00, 0x00}, e),
            (Bytes{0x58, 0x02, 0x03, 0x01, 0x60, 0x01, 0x71, 0x20}));
  EXPECT_EQ(controller.Answer({0x14, 0xFF, 0x00}, e), (Bytes{0x54, 0xFF, 0x00}));
  EXPECT_EQ(controller.Answer({0x18, 0x00, 0xFF, 0x00}, e), (Bytes{0x58, 0x00}));
  EXPECT_EQ(controller.Answer({0x21, 0x05}, e), (Bytes{0x7F, 0x21, 0x12}));  // not on type 1
  EXPECT_EQ(controller.Answer({0x3E}, e), (Bytes{0x7F, 0x3E, 0x11}));
}

TEST(SimulatedController, AnswerFramesCarryLengthAndChecksum) {
  EXPECT_EQ(AnswerFrame({0xC1, 0xEF, 0x8F}), (Bytes{0x83, 0xF1, 0x11, 0xC1, 0xEF, 0x8F, 0xC4}));
  const Bytes long_frame = AnswerFrame(Bytes(100, 0x01));
  EXPECT_EQ(long_frame[0], 0x80);
  EXPECT_EQ(long_frame[3], 100);
  EXPECT_EQ(long_frame.size(), 105u);
}

TEST(RequestReader, FindsFramesAfterNoiseAndAcrossReads) {
  RequestReader reader;
  std::vector<Bytes> frames;
  auto keep = [&](const Bytes& f) { frames.push_back(f); };
  const Bytes stream = {0x00, 0xC5, 0x82, 0x11, 0xF1, 0x21, 0x06,
                        0xAB, 0x80, 0x11, 0xF1, 0x01, 0x3E, 0xC1};
  reader.Feed(stream.data(), 5, keep);
  reader.Feed(stream.data() + 5, stream.size() - 5, keep);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], (Bytes{0x82, 0x11, 0xF1, 0x21, 0x06, 0xAB}));
  EXPECT_EQ(frames[1].size(), 6u);
}

TEST(EcusimOptions, ParsesWhatTheHelpLists) {
  std::string message;
  int code = -1;
  auto o = ParseOptions({"--port",   "COM3",
                         "--type",   "2",
                         "--dtc",    "0301:60",
                         "--dtc",    "0171:20",
                         "--silent", "--chunk",
                         "1",        "--garbage",
                         "4",        "--stop-after",
                         "5",        "--hangup-after",
                         "3",        "--negative-every",
                         "2",        "--log",
                         "/tmp/x"},
                        message, code);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->port, "COM3");
  EXPECT_EQ(o->type, 2);
  ASSERT_EQ(o->codes.size(), 2u);
  EXPECT_EQ(o->codes[1].high, 0x01);
  EXPECT_EQ(o->codes[1].low, 0x71);
  EXPECT_EQ(o->codes[1].status, 0x20);
  EXPECT_TRUE(o->silent);
  EXPECT_EQ(o->chunk_size, 1);
  EXPECT_EQ(o->negative_every, 2);

  EXPECT_FALSE(ParseOptions({"--help"}, message, code));
  EXPECT_EQ(code, 0);
  EXPECT_NE(message.find("--dtc CODE:STATUS"), std::string::npos);

  for (const auto& bad : std::vector<std::vector<std::string>>{{"--type", "4"},
                                                               {"--port", "LPT1"},
                                                               {"--dtc", "301:60"},
                                                               {"--dtc", "0301:6G"},
                                                               {"--delay", "5"},
                                                               {"--type"},
                                                               {"--frobnicate", "1"}}) {
    EXPECT_FALSE(ParseOptions(bad, message, code)) << bad[0];
    EXPECT_EQ(code, 2);
    EXPECT_EQ(message.rfind("ecusim: ", 0), 0u) << message;
  }
}

}  // namespace
}  // namespace m797::ecusim
