#include "gauges/analog_control.h"

#include <gtest/gtest.h>

#include "qt_print.h"

#include <QLocale>
#include <limits>
#include <memory>
#include <vector>

#include "gauges/gx_math.h"

namespace m797::gauges {
namespace {

// A gauge loaded as the speed instruments are: Digit 0 stored, range 0..250.
std::unique_ptr<TGxAnalogGControl> LoadedSpeedModel() {
  auto g = std::make_unique<TGxAnalogGControl>();
  g->SetDigit(0);
  g->SignalSettings()->SetValueTo(250.0f);
  g->Loaded();
  return g;
}

TEST(AnalogModel, DefaultsAfterConstruction) {
  TGxAnalogGControl g;
  EXPECT_EQ(g.UpdateLock(), 1);  // held until Loaded
  EXPECT_EQ(g.Value(), 50.0f);
  EXPECT_EQ(g.Digit(), 500);
  EXPECT_EQ(g.PPT(), 500);
  EXPECT_EQ(g.LimitUpper(), 90.0f);
  EXPECT_EQ(g.LimitLower(), 10.0f);
  // The evaluation at construction found 50 inside both limits.
  EXPECT_FALSE(g.Upper());
  EXPECT_FALSE(g.Lower());
  EXPECT_EQ(g.Font()->Name(), "Arial");
  EXPECT_EQ(g.Font()->Size(), 8);
  g.Loaded();
  EXPECT_EQ(g.UpdateLock(), 0);
}

TEST(AnalogModel, SameValueTwiceRaisesOnValueChangeOnce) {
  auto g = LoadedSpeedModel();
  int passes = 0;
  g->SetOnValueChange([&](TGxAnalogGControl*) { ++passes; });
  g->SetValue(42.0f);
  g->SetValue(42.0f);
  EXPECT_EQ(passes, 1);
}

TEST(AnalogModel, ValueMapsToDigitAndPositionAndOverflows) {
  auto g = LoadedSpeedModel();
  std::vector<int> overflows;
  g->SetOnOverflow([&](TGxAnalogGControl*, std::int32_t ppt) { overflows.push_back(ppt); });

  g->SetValue(125.0f);
  EXPECT_EQ(g->Digit(), 500);
  EXPECT_EQ(g->PPT(), 500);
  EXPECT_TRUE(overflows.empty());

  g->SetValue(300.0f);
  EXPECT_EQ(g->PPT(), 1000);
  EXPECT_TRUE(g->OverflowHigh());
  ASSERT_EQ(overflows, (std::vector<int>{1200}));

  g->SetValue(310.0f);  // still above: nothing more
  EXPECT_EQ(overflows.size(), 1u);

  g->SetValue(100.0f);
  EXPECT_FALSE(g->OverflowHigh());
  EXPECT_EQ(overflows, (std::vector<int>{1200, 400}));

  g->SetValue(-25.0f);
  EXPECT_TRUE(g->OverflowLow());
  EXPECT_EQ(g->PPT(), 0);
  EXPECT_EQ(overflows.back(), -100);

  g->SetValue(300.0f);  // straight from low to high
  EXPECT_TRUE(g->OverflowHigh());
  EXPECT_FALSE(g->OverflowLow());
  EXPECT_EQ(overflows.size(), 4u);
}

TEST(AnalogModel, LimitsAreExclusiveAndReportedOnChange) {
  auto g = LoadedSpeedModel();
  g->SetLimitUpper(180.0f);
  g->SetLimitLower(-1.0f);
  std::vector<std::pair<bool, bool>> reports;
  g->SetOnLimit(
      [&](TGxAnalogGControl*, bool lower, bool upper) { reports.emplace_back(lower, upper); });
  g->SetValue(180.0f);
  EXPECT_FALSE(g->Upper());
  EXPECT_TRUE(reports.empty());
  g->SetValue(180.1f);
  EXPECT_TRUE(g->Upper());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], std::make_pair(false, true));
  g->SetValue(200.0f);  // no change of state
  EXPECT_EQ(reports.size(), 1u);
}

TEST(AnalogModel, LowerLimitZeroCountsZeroAsBelow) {
  auto g = LoadedSpeedModel();
  g->SetLimitLower(0.0f);
  EXPECT_FLOAT_EQ(g->LimitLower(), 0.0001f);
  g->SetValue(0.0f);
  EXPECT_TRUE(g->Lower());
}

TEST(AnalogModel, OverlappingSectorsGiveTheHigherSectorsColour) {
  auto g = LoadedSpeedModel();
  TSectorSettings* s = g->SectorSettings();
  s->SetSector1Color(clGreen);
  s->SetSector1To(440);
  s->SetSector2Color(clYellow);
  s->SetSector2From(440);
  s->SetSector2To(720);
  s->SetSector3From(720);
  struct Change {
    bool s1, s2, s3, enter;
    bool operator==(const Change&) const = default;
  };
  std::vector<Change> changes;
  g->SetOnSectorChange([&](TGxAnalogGControl*, bool s1, bool s2, bool s3, bool enter) {
    changes.push_back({s1, s2, s3, enter});
  });
  g->SetValue(110.0f);  // PPT 440
  EXPECT_EQ(g->PPT(), 440);
  EXPECT_TRUE(g->Sector1());
  EXPECT_TRUE(g->Sector2());
  EXPECT_EQ(g->SectorColor(), clYellow);
  // Sector 1 held PPT 0 since loading; entering sector 2 is the only change.
  EXPECT_EQ(changes, (std::vector<Change>{{false, true, false, true}}));
  changes.clear();
  g->SetValue(200.0f);  // PPT 800: leaves 1 and 2, enters 3
  EXPECT_EQ(changes, (std::vector<Change>{{true, false, false, false},
                                          {false, true, false, false},
                                          {false, false, true, true}}));
  EXPECT_EQ(g->SectorColor(), clRed);
}

TEST(AnalogModel, FirstExtremesAfterLoadingRaiseNothingLaterOnesDo) {
  auto g = LoadedSpeedModel();
  EXPECT_EQ(g->MinMax()->Min(), TMinMax::kNoMin);
  EXPECT_EQ(g->MinMax()->Max(), TMinMax::kNoMax);
  int minmax_events = 0;
  int passes = 0;
  g->SetOnMinMaxChange([&](TGxAnalogGControl*) { ++minmax_events; });
  g->SetOnValueChange([&](TGxAnalogGControl*) { ++passes; });

  g->SetValue(100.0f);
  EXPECT_EQ(g->MinMax()->Min(), 100.0f);
  EXPECT_EQ(g->MinMax()->Max(), 100.0f);
  EXPECT_EQ(g->MinPPT(), 400);
  EXPECT_EQ(g->MaxPPT(), 400);
  EXPECT_EQ(minmax_events, 0);
  EXPECT_EQ(passes, 1);

  // A new maximum notifies and repeats the pass once (nested).
  g->SetValue(150.0f);
  EXPECT_EQ(g->MinMax()->Max(), 150.0f);
  EXPECT_EQ(g->MaxPPT(), 600);
  EXPECT_EQ(minmax_events, 1);
  EXPECT_EQ(passes, 3);

  g->SetValue(120.0f);  // neither extreme
  EXPECT_EQ(minmax_events, 1);
  EXPECT_EQ(passes, 4);
}

TEST(AnalogModel, TooltipListsEveryOptionInOrder) {
  auto g = LoadedSpeedModel();
  g->SignalSettings()->SetName1("Speed,");
  g->SignalSettings()->SetName2("km/h");
  g->SignalSettings()->SetValueUnit("km/h");
  g->SetValue(80.0f);
  g->SetValue(60.5f);
  const QStringList lines = g->Hint().split('\r');
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[0], "Value= 60.5 km/h");
  const QDateTime min_at = g->MinMax()->MinDateTime();
  const QDateTime max_at = g->MinMax()->MaxDateTime();
  EXPECT_EQ(lines[1], "MIN= 60.5 km/h " + QLocale().toString(min_at.date(), QLocale::ShortFormat) +
                          ' ' + min_at.time().toString("hh:mm:ss"));
  EXPECT_EQ(lines[2], "MAX= 80.0 km/h " + QLocale().toString(max_at.date(), QLocale::ShortFormat) +
                          ' ' + max_at.time().toString("hh:mm:ss"));
  EXPECT_EQ(lines[3], "Speed,");
  EXPECT_EQ(lines[4], "km/h");

  g->SetHintOptions({THintOption::hoAutoHint, THintOption::hoValue, THintOption::hoName2});
  g->SetValue(61.0f);
  EXPECT_EQ(g->Hint(), "Value= 61.0 km/h\rkm/h");
}

TEST(AnalogModel, StoredDigitAloneStartsAtTheRangeStartStoredValueOverrides) {
  // As the coolant thermometer is loaded: Digit, then the signal settings, then Value.
  TGxAnalogGControl tog;
  tog.SetDigit(100);
  EXPECT_EQ(tog.Value(), 0.0f);  // the factors are still zero while Digit is read
  tog.SignalSettings()->SetValueFrom(-40.0f);
  tog.SignalSettings()->SetValueTo(160.0f);
  tog.SetValue(-20.0f);
  tog.Loaded();
  EXPECT_EQ(tog.Value(), -20.0f);
  EXPECT_EQ(tog.Digit(), 100);

  auto speed = LoadedSpeedModel();  // stores Digit 0 and no Value
  EXPECT_EQ(speed->Value(), 0.0f);
  EXPECT_EQ(speed->Digit(), 0);
}

TEST(AnalogModel, SettingsChangeKeepsTheValueAndMovesTheDigit) {
  auto g = LoadedSpeedModel();
  g->SetValue(125.0f);
  int settings_passes = 0;
  g->SetOnSettingsChange([&](TGxAnalogGControl*) { ++settings_passes; });
  g->SignalSettings()->SetValueTo(500.0f);
  EXPECT_EQ(g->Value(), 125.0f);
  EXPECT_EQ(g->Digit(), 250);
  EXPECT_EQ(settings_passes, 1);

  // Under the update lock the pass waits for the unlock.
  g->LockUpdate();
  g->NotifyChanged();
  EXPECT_EQ(settings_passes, 1);
  g->UnlockUpdate();
  EXPECT_EQ(settings_passes, 2);
  g->UnlockUpdate();  // never below 0
  EXPECT_EQ(g->UpdateLock(), 0);
}

TEST(AnalogModel, DigitWriteSetsTheValue) {
  auto g = LoadedSpeedModel();
  g->SetDigit(400);
  EXPECT_FLOAT_EQ(g->Value(), 100.0f);
  EXPECT_EQ(g->PPT(), 400);
}

TEST(AnalogModel, EmptyDigitalRangePutsThePositionAtTheStart) {
  auto g = LoadedSpeedModel();
  g->SignalSettings()->SetDigitalFrom(1000);  // equal to DigitalTo
  g->SetValue(125.0f);
  EXPECT_EQ(g->PPT(), 0);
}

TEST(AnalogModel, ExtremeValuesSaturateInsteadOfOverflowing) {
  auto g = LoadedSpeedModel();
  g->SetValue(std::numeric_limits<float>::max());
  EXPECT_EQ(g->PPT(), 1000);
  EXPECT_TRUE(g->OverflowHigh());
  g->SetValue(-std::numeric_limits<float>::max());
  EXPECT_EQ(g->PPT(), 0);
  EXPECT_TRUE(g->OverflowLow());
  g->SetValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(g->ValueText(), "NAN");
}

TEST(AnalogModel, LogarithmicMapping) {
  auto g = LoadedSpeedModel();
  g->SignalSettings()->SetValueFrom(1.0f);
  g->SignalSettings()->SetValueTo(700.0f);
  g->SetLogScale(true);
  EXPECT_FLOAT_EQ(g->SignalSettings()->ValueTo(), 1000.0f);
  EXPECT_NEAR(g->LogDigitsPerDecade(), 1000.0 / 3.0, 1e-3);
  g->SetValue(100.0f);
  EXPECT_EQ(g->Digit(), 667);
  EXPECT_EQ(g->PPT(), 667);
  g->SetValue(-1.0f);  // ignored on a logarithmic scale
  EXPECT_EQ(g->Value(), 100.0f);
  g->SetDigit(333);
  EXPECT_NEAR(g->Value(), 10.0f, 0.05f);
  g->SetLogScale(false);
  EXPECT_EQ(g->Digit(), RoundInt((g->Value() - 1.0) * 1000.0 / 999.0));
}

}  // namespace
}  // namespace m797::gauges
