#include "session/live_data.h"

#include <gtest/gtest.h>

#include "fake_controls.h"

namespace m797::session::test {
namespace {

ResponseData Answer(std::uint8_t local_identifier, std::initializer_list<std::pair<int, int>> at) {
  ResponseData d;
  d.bytes[0] = 0x61;
  d.bytes[1] = local_identifier;
  for (auto [position, value] : at)
    d.bytes[position] = static_cast<std::uint8_t>(value);
  d.length = 40;
  return d;
}

TEST(Nearest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Nearest(2.5), 2.0);
  EXPECT_EQ(Nearest(7.5), 8.0);
  EXPECT_EQ(Nearest(-46.5), -46.0);
  EXPECT_EQ(Nearest(-1.5), -2.0);
  EXPECT_EQ(Nearest(2.4999), 2.0);
  EXPECT_EQ(Nearest(-0.6), -1.0);
}

TEST(LiveData, Type1SpeedAndEngineSpeed) {
  FakeControls c;
  auto next = ShowLiveData(0x06, Answer(0x06, {{2, 0x64}, {5, 0x40}, {6, 0x1F}}), 0, c);
  EXPECT_EQ(next, 9);
  EXPECT_EQ(c.gauge(Gauge::VS_Speed), 125.0f);
  EXPECT_EQ(c.gauge(Gauge::VI_Speed), 125.0f);
  EXPECT_EQ(c.gauge(Gauge::VS_Nmot), 20.0f);
  EXPECT_EQ(c.gauge(Gauge::VI_Nmot), 2000.0f);

  ShowLiveData(0x06, Answer(0x06, {{2, 2}}), 0, c);
  EXPECT_EQ(c.gauge(Gauge::VS_Speed), 2.0f);  // 2.5 to even
  ShowLiveData(0x06, Answer(0x06, {{2, 6}}), 0, c);
  EXPECT_EQ(c.gauge(Gauge::VS_Speed), 8.0f);  // 7.5 to even
}

TEST(LiveData, Type1VoltageTemperaturesThrottle) {
  FakeControls c;
  auto next = ShowLiveData(0x03, Answer(0x03, {{4, 200}, {5, 0x3E}, {6, 0xFF}, {7, 51}}), 0, c);
  EXPECT_EQ(next, 7);
  EXPECT_EQ(c.gauge(Gauge::VS_Ub), static_cast<float>(200 * 17.9 / 255));
  EXPECT_EQ(c.gauge(Gauge::VI_Ub), static_cast<float>(200 * 17.9 / 255));
  EXPECT_EQ(c.gauge(Gauge::VS_TOG), -2.0f);    // nearest(46.5 - 48)
  EXPECT_EQ(c.gauge(Gauge::VS_TANS), 143.0f);  // nearest(191.25 - 48)
  EXPECT_EQ(c.gauge(Gauge::VS_THR), 20.0f);
}

TEST(LiveData, Type1InjectionAndPressure) {
  FakeControls c;
  auto next = ShowLiveData(0x04, Answer(0x04, {{2, 0x00}, {3, 0x64}, {6, 0xFF}, {7, 0xFF}}), 0, c);
  EXPECT_EQ(next, 1);
  EXPECT_EQ(c.gauge(Gauge::VS_DV), 175.0f);
  EXPECT_EQ(c.gauge(Gauge::VS_MRV), 100.0f);  // 25600 * 256 / 65535 = 100.0015..., whole units
}

TEST(LiveData, Types2And3ShareTheLongRecord) {
  for (int type : {1, 2}) {
    FakeControls c;
    auto d =
        Answer(0x02, {{12, 0x00}, {13, 0x40}, {22, 255}, {25, 20}, {27, 255}, {29, 100}, {31, 0}});
    auto next = ShowLiveData(0x02, d, type, c);
    EXPECT_EQ(next, type == 1 ? 8 : 9);
    EXPECT_EQ(c.gauge(Gauge::VS_MRV), static_cast<float>(0x4000 * 256.0 / 65535));  // not rounded
    EXPECT_EQ(c.gauge(Gauge::VS_THR), 100.0f);
    EXPECT_EQ(c.gauge(Gauge::VS_Ub), 17.9f);
    EXPECT_EQ(c.gauge(Gauge::VS_TOG), 27.0f);
    EXPECT_EQ(c.gauge(Gauge::VS_TANS), -48.0f);
    if (type == 2) {
      EXPECT_EQ(c.gauge(Gauge::VI_Nmot), 800.0f);
      EXPECT_EQ(c.gauge(Gauge::VS_Nmot), 8.0f);
    } else {
      EXPECT_EQ(c.gauge(Gauge::VI_Nmot), std::nullopt);
    }
  }
}

TEST(LiveData, Types2And3SpeedInjectionAndType2EngineSpeed) {
  for (int type : {1, 2}) {
    FakeControls c;
    EXPECT_EQ(ShowLiveData(0x06, Answer(0x06, {{10, 80}}), type, c), 6);
    EXPECT_EQ(c.gauge(Gauge::VS_Speed), 100.0f);
    EXPECT_EQ(ShowLiveData(0x03, Answer(0x03, {{10, 255}}), type, c), 1);
    EXPECT_EQ(c.gauge(Gauge::VS_DV), 208.1f);
  }
  FakeControls c;
  EXPECT_EQ(ShowLiveData(0x05, Answer(0x05, {{9, 0x40}, {10, 0x1F}}), 1, c), 9);
  EXPECT_EQ(c.gauge(Gauge::VS_Nmot), 20.0f);
  EXPECT_EQ(c.gauge(Gauge::VI_Nmot), 2000.0f);
  EXPECT_EQ(ShowLiveData(0x05, Answer(0x05, {}), 2, c), std::nullopt);  // type 3 has no 0x05
}

TEST(LiveData, ShortAnswerReadsZerosAndUnknownRowsChangeNothing) {
  FakeControls c;
  ResponseData d;
  d.bytes = {0x61, 0x02};
  d.length = 2;
  ShowLiveData(0x02, d, 1, c);
  EXPECT_EQ(c.gauge(Gauge::VS_TANS), -48.0f);

  FakeControls untouched;
  EXPECT_EQ(ShowLiveData(0x02, d, 0, untouched), std::nullopt);
  EXPECT_EQ(ShowLiveData(0x06, d, -1, untouched), std::nullopt);
  EXPECT_EQ(ShowLiveData(0x06, d, 3, untouched), std::nullopt);
  EXPECT_EQ(ShowLiveData(0x07, d, 0, untouched), std::nullopt);
  for (const auto& g : untouched.gauges)
    EXPECT_EQ(g.changes, 0);
}

TEST(LiveData, SameAnswerTwiceChangesTheGaugesOnce) {
  FakeControls c;
  const auto d = Answer(0x03, {{4, 200}, {5, 100}, {6, 80}, {7, 30}});
  ShowLiveData(0x03, d, 0, c);
  ShowLiveData(0x03, d, 0, c);
  EXPECT_EQ(c.gauges[static_cast<int>(Gauge::VS_Ub)].changes, 1);
  EXPECT_EQ(c.gauges[static_cast<int>(Gauge::VS_TOG)].changes, 1);
}

}  // namespace
}  // namespace m797::session::test
