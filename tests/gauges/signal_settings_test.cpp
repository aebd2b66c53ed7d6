#include "gauges/signal_settings.h"

#include <gtest/gtest.h>

#include "qt_print.h"

#include "gauges/sector_settings.h"

namespace m797::gauges {
namespace {

TEST(SignalSettings, BoundEqualToEitherCurrentBoundIsRefused) {
  TSignalSettings s;
  int changes = 0;
  s.SetOnChange([&](TGxPersistent*) { ++changes; });
  s.SetValueFrom(100.0f);  // equals ValueTo
  EXPECT_EQ(s.ValueFrom(), 0.0f);
  s.SetValueTo(0.0f);  // equals ValueFrom
  EXPECT_EQ(s.ValueTo(), 100.0f);
  EXPECT_EQ(changes, 0);
  // The other order is accepted.
  s.SetValueTo(250.0f);
  s.SetValueFrom(100.0f);
  EXPECT_EQ(s.ValueFrom(), 100.0f);
  EXPECT_EQ(s.ValueTo(), 250.0f);
  EXPECT_EQ(changes, 2);
}

TEST(SignalSettings, ChangesRecomputeTheFactors) {
  TSignalSettings s;
  // Nothing computed before the first change.
  EXPECT_EQ(s.DigitsPerValue(), 0.0f);
  s.SetValueTo(250.0f);
  EXPECT_FLOAT_EQ(s.ValueRange(), 250.0f);
  EXPECT_EQ(s.DigitalRange(), 1000);
  EXPECT_FLOAT_EQ(s.DigitsPerValue(), 4.0f);
  EXPECT_FLOAT_EQ(s.ValuePerDigit(), 0.25f);
  EXPECT_FLOAT_EQ(s.PPTPerValue(), 4.0f);
  s.SetValueFrom(-40.0f);
  s.SetValueTo(160.0f);
  EXPECT_FLOAT_EQ(s.ValueRange(), 200.0f);
  s.SetValueTo(-10.0f);
  EXPECT_FLOAT_EQ(s.ValueRange(), 30.0f);  // both negative
}

TEST(SignalSettings, ReversedRangeKeepsThePreviousMapping) {
  TSignalSettings s;
  s.SetValueTo(200.0f);
  s.SetValueFrom(50.0f);
  const float dpv = s.DigitsPerValue();
  s.SetValueFrom(300.0f);  // now reversed: 300 .. 200
  EXPECT_FLOAT_EQ(s.DigitsPerValue(), dpv);
  EXPECT_LT(s.ValuePerDigit(), 0.0f);
}

TEST(SignalSettings, EqualDigitalBoundsLeaveTheFactorsAlone) {
  TSignalSettings s;
  s.SetValueTo(50.0f);
  const float vpd = s.ValuePerDigit();
  s.SetDigitalFrom(1000);  // equal to DigitalTo: an empty digital range
  EXPECT_EQ(s.DigitalRange(), 0);
  EXPECT_FLOAT_EQ(s.ValuePerDigit(), vpd);
}

TEST(SignalSettings, FormatTemplateTakesTheLongerSection) {
  TSignalSettings s;
  s.SetValueFormat("##0.00");
  EXPECT_EQ(s.FormatTemplate(), "##0.00");
  s.SetValueFormat("0.0;-##0.00");
  EXPECT_EQ(s.FormatTemplate(), "-##0.00");
  s.SetValueFormat("#####0;-0");
  EXPECT_EQ(s.FormatTemplate(), "#####0");
  s.SetValueFormat("##0;(#0)");  // equally long: the second section
  EXPECT_EQ(s.FormatTemplate(), "(#0)");
}

TEST(SignalSettings, LogScaleBoundsSnapToPowersOfTen) {
  TSignalSettings s;
  s.SetLogScale(true);
  s.SetValueTo(700.0f);
  EXPECT_FLOAT_EQ(s.ValueTo(), 1000.0f);
  s.SetValueFrom(-5.0f);  // counts as 1
  EXPECT_FLOAT_EQ(s.ValueFrom(), 1.0f);
}

TEST(SectorSettings, FirstContainingSectorGivesTheColour) {
  TSectorSettings s;
  EXPECT_EQ(s.SectorColorAt(0), clYellow);
  EXPECT_EQ(s.SectorColorAt(333), clYellow);
  EXPECT_EQ(s.SectorColorAt(334), clGreen);
  EXPECT_EQ(s.SectorColorAt(1000), clRed);
  EXPECT_FALSE(s.SectorColorAt(1001).has_value());
  EXPECT_FALSE(s.SectorColorAt(-1).has_value());
}

}  // namespace
}  // namespace m797::gauges
