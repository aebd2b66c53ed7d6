// What a value write leaves on an instrument's surface is what a full repaint at that value
// draws: the moving parts are put back where they were taken from, at any device pixel ratio
// (this file is built into the test programs of ratio 1 and ratio 2).
#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <memory>
#include <vector>

#include "ui/form1_gauges.h"
#include "meter_probe.h"

namespace m797::gauges {
namespace {

namespace setups = ui::form1;

struct Instrument {
  const char* name;
  std::function<std::unique_ptr<TGxAnalogGControl>()> make;
  std::vector<float> values;  // inside the scale, beyond a limit, off the scale, back inside
};

TEST(MovingParts, AValueWriteDrawsWhatAFullRepaintDraws) {
  const Instrument instruments[] = {
      {"VS_Speed", [] { return setups::MakeVS_Speed(); }, {60.0f, 190.0f, 300.0f, 125.0f}},
      {"VS_Nmot", [] { return setups::MakeVS_Nmot(); }, {8.5f, 55.0f, 80.0f, 35.0f}},
      {"VS_Ub", [] { return setups::MakeVS_Ub(); }, {9.5f, 16.0f, 20.0f, 12.0f}},
      {"VI_Speed", [] { return setups::MakeVI_Speed(); }, {7.0f, 196.0f, 88.0f}},
      {"VI_Nmot", [] { return setups::MakeVI_Nmot(); }, {850.0f, 3250.0f}},
      {"VI_Ub", [] { return setups::MakeVI_Ub(); }, {14.4f, 12.0f}},
      {"VS_TOG", [] { return setups::MakeVS_TOG(); }, {-20.0f, 95.0f, 170.0f, 60.0f}},
      {"VS_TANS", [] { return setups::MakeVS_TANS(); }, {0.0f, 80.0f, 25.0f}},
      {"VS_THR", [] { return setups::MakeVS_THR(); }, {35.0f, 95.0f, 120.0f, 50.0f}},
      {"VS_MRV", [] { return setups::MakeVS_MRV(); }, {30.0f, 101.3f, 60.0f}},
      {"VS_DV", [] { return setups::MakeVS_DV(); }, {2.5f, 25.0f, 7.5f}},
  };
  for (const Instrument& instrument : instruments) {
    SCOPED_TRACE(instrument.name);
    auto gauge = instrument.make();
    testing::Render(*gauge);
    for (float value : instrument.values) {
      SCOPED_TRACE(value);
      gauge->SetValue(value);
      const QImage written = gauge->Surface().copy();
      gauge->Invalidate();
      gauge->Repaint();
      EXPECT_EQ(gauge->Surface(), written);
    }
  }
}

}  // namespace
}  // namespace m797::gauges
