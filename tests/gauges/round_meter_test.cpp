#include "gauges/round_meter.h"

#include <gtest/gtest.h>

#include <vector>

#include "gauges/blink_scheduler.h"
#include "ui/form1_gauges.h"
#include "meter_probe.h"
#include "qt_print.h"

namespace m797::gauges {
namespace {

namespace setups = ui::form1;

using testing::ColorIs;
using testing::CountNear;
using testing::Dark;
using testing::Is;
using testing::PointAt;
using testing::Render;

// The colour of the pointer halfway along it, at the angle of the current position.
QColor PointerColour(TGxRMeter& meter) {
  const QImage image = Render(meter);
  const int b = meter.PointerArea().width() / 2;
  return image.pixelColor(PointAt(meter.Pivot(), meter.AngleOf(meter.PPT()), b / 2.0));
}

// Whether the pointer (lime, or red or yellow in alarm) lies along the angle.
bool PointerAlong(TGxRMeter& meter, double angle) {
  const QImage image = Render(meter);
  const int b = meter.PointerArea().width() / 2;
  const QPoint p = PointAt(meter.Pivot(), angle, b / 2.0);
  return Is(image, p, clLime) || Is(image, p, clRed) || Is(image, p, clYellow);
}

TEST(RoundMeter, HalfCircleDialPointsLeftUpAndRight) {
  auto speed = setups::MakeVS_Speed();
  Render(*speed);
  EXPECT_FALSE(speed->TooSmall());
  speed->SetValue(0.0f);
  EXPECT_TRUE(PointerAlong(*speed, 270.0));
  EXPECT_FALSE(PointerAlong(*speed, 360.0));
  speed->SetValue(125.0f);
  EXPECT_TRUE(PointerAlong(*speed, 360.0));
  EXPECT_FALSE(PointerAlong(*speed, 270.0));
  EXPECT_FALSE(PointerAlong(*speed, 450.0));
  speed->SetValue(250.0f);
  EXPECT_TRUE(PointerAlong(*speed, 450.0));
  EXPECT_FALSE(PointerAlong(*speed, 360.0));
}

TEST(RoundMeter, ArcDialPointsUpAtMidScale) {
  auto ub = setups::MakeVS_Ub();
  Render(*ub);
  EXPECT_EQ(ub->Value(), 12.0f);
  EXPECT_EQ(ub->PPT(), 500);
  EXPECT_TRUE(PointerAlong(*ub, 360.0));
  ub->SetValue(7.2f);  // PPT 100: 12 degrees into the arc
  EXPECT_EQ(ub->PPT(), 100);
  EXPECT_TRUE(PointerAlong(*ub, 312.0));
  EXPECT_FALSE(PointerAlong(*ub, 360.0));
}

TEST(RoundMeter, SpeedSectorsFillTheirRing) {
  auto speed = setups::MakeVS_Speed();
  speed->SetValue(0.0f);  // pointer to the left, out of the way
  const QImage image = Render(*speed);
  // The ring lies inside the square shrunk by the tick length; probe its middle.
  const QRect area = speed->PointerArea();
  const int tick = speed->ScaleSettings()->TickLength();
  const double outer = area.width() / 2.0 - tick;
  const double radius = outer - outer / 10.0;
  const QPoint centre = speed->Pivot();
  struct Probe {
    double angle;
    TColor color;
  };
  for (const Probe& probe : {Probe{300.0, clGreen}, Probe{345.0, clGreen}, Probe{353.0, clYellow},
                             Probe{395.0, clYellow}, Probe{404.0, clRed}, Probe{445.0, clRed}}) {
    const QPoint p = PointAt(centre, probe.angle, radius);
    EXPECT_TRUE(Is(image, p, probe.color))
        << "at " << probe.angle << " degrees: " << image.pixelColor(p).name().toStdString();
  }
  // Inside the ring there is no sector colour.
  EXPECT_EQ(CountNear(image, PointAt(centre, 330.0, outer / 2.0), 2, ColorIs(clGreen)), 0);
}

TEST(RoundMeter, MajorTicksEvery36DegreesAndMinorTicksMidway) {
  auto speed = setups::MakeVS_Speed();
  speed->SetValue(0.0f);
  const QImage image = Render(*speed);
  EXPECT_EQ(speed->ScaleSettings()->Labels(), "0;50;100;150;200;250;");
  const TScaleSettings& scale = *speed->ScaleSettings();
  const QPoint centre = scale.DialCentre();
  // Between the inner tick end and the end of the minor ticks: both kinds of tick pass here.
  const double radius =
      scale.DialRadius() - scale.LabelGap() - scale.TickLength() + scale.MinorTickLength() / 2.0;
  for (double angle : {288.0, 306.0, 324.0, 342.0, 360.0, 378.0}) {
    EXPECT_GT(CountNear(image, PointAt(centre, angle, radius), 1, Dark()), 0) << angle;
  }
  for (double angle : {297.0, 315.0, 333.0}) {
    EXPECT_EQ(CountNear(image, PointAt(centre, angle, radius), 1, Dark()), 0) << angle;
  }
}

TEST(RoundMeter, HiddenMinimumMarkerLeavesOnlyTheMaximum) {
  for (bool min_visible : {false, true}) {
    auto speed = setups::MakeVS_Speed();
    speed->MinMax()->SetUseSectorCol(false);  // markers in their own colour (aqua)
    speed->MinMax()->SetMinVisible(min_visible);
    Render(*speed);
    speed->SetValue(40.0f);   // the minimum from here on: 298.8 degrees
    speed->SetValue(210.0f);  // the maximum: 421.2 degrees
    speed->SetValue(100.0f);
    const QImage image = Render(*speed);
    int left = 0;
    int right = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (Is(image, QPoint(x, y), clAqua)) (x < speed->Pivot().x() ? left : right)++;
    EXPECT_GT(right, 0) << "max marker, min_visible " << min_visible;
    EXPECT_EQ(left > 0, min_visible) << "min marker, min_visible " << min_visible;
  }
}

// Ticks until bit 2 of the scheduler's counter has just been set, so that mode 4 changes fall
// on ticks 4, 8, 12, ... from here, the first one to yellow (the pointer starts red).
void AlignTicks() {
  while ((TGxBlinkScheduler::Instance().Counter() & 7u) != 4)
    TGxBlinkScheduler::Instance().Tick();
}

TEST(RoundMeter, ValueAboveTheLimitFlashesEveryFourTicksUntilItReturns) {
  auto speed = setups::MakeVS_Speed();
  Render(*speed);
  AlignTicks();
  speed->SetValue(190.0f);  // above LimitUpper 180, inside the scale
  ASSERT_TRUE(speed->Alarm());
  ASSERT_TRUE(TGxBlinkScheduler::Instance().Contains(speed.get()));
  std::vector<QColor> seen;
  seen.push_back(PointerColour(*speed));
  EXPECT_EQ(seen[0], ToQColor(clRed));
  for (int tick = 1; tick <= 16; ++tick) {
    TGxBlinkScheduler::Instance().Tick();
    seen.push_back(PointerColour(*speed));
  }
  const QColor red = ToQColor(clRed);
  const QColor yellow = ToQColor(clYellow);
  for (int tick = 1; tick <= 16; ++tick) {
    EXPECT_TRUE(seen[tick] == red || seen[tick] == yellow) << tick;
    if (tick % 4 == 0)
      EXPECT_NE(seen[tick], seen[tick - 1]) << "a change at tick " << tick;
    else
      EXPECT_EQ(seen[tick], seen[tick - 1]) << "no change at tick " << tick;
  }

  speed->SetValue(100.0f);
  EXPECT_FALSE(speed->Alarm());
  EXPECT_FALSE(TGxBlinkScheduler::Instance().Contains(speed.get()));
  EXPECT_EQ(PointerColour(*speed), ToQColor(clLime));
  for (int tick = 0; tick < 8; ++tick)
    TGxBlinkScheduler::Instance().Tick();
  EXPECT_EQ(PointerColour(*speed), ToQColor(clLime));
}

TEST(RoundMeter, AlarmFollowsTheOptions) {
  auto speed = setups::MakeVS_Speed();
  Render(*speed);
  speed->SetOptions(speed->Options().Without(TRMeterOption::opLimit));
  Render(*speed);
  speed->SetValue(190.0f);  // above the limit, inside the scale: no alarm without opLimit
  EXPECT_FALSE(speed->Alarm());
  EXPECT_EQ(PointerColour(*speed), ToQColor(clLime));
  speed->SetValue(300.0f);  // beyond the scale: opOverflow still flashes
  EXPECT_TRUE(speed->Alarm());
  EXPECT_EQ(speed->PPT(), 1000);
  speed->SetValue(100.0f);
  EXPECT_FALSE(speed->Alarm());
  // Switching the option off while flashing stops the flashing with the repaint.
  speed->SetValue(300.0f);
  speed->SetOptions(speed->Options().Without(TRMeterOption::opOverflow));
  Render(*speed);
  EXPECT_FALSE(speed->Alarm());
  EXPECT_FALSE(TGxBlinkScheduler::Instance().Contains(speed.get()));
}

TEST(RoundMeter, DestroyedMeterInAlarmLeavesTheScheduler) {
  auto speed = setups::MakeVS_Speed();
  Render(*speed);
  speed->SetValue(200.0f);
  const TGxGraphicControl* address = speed.get();
  ASSERT_TRUE(TGxBlinkScheduler::Instance().Contains(address));
  speed.reset();
  EXPECT_FALSE(TGxBlinkScheduler::Instance().Contains(address));
  for (int tick = 0; tick < 8; ++tick)
    TGxBlinkScheduler::Instance().Tick();
}

TEST(RoundMeter, ValueWriteRedrawsOnlyThePointerArea) {
  auto speed = setups::MakeVS_Speed();
  Render(*speed);
  const QImage before = speed->Surface().copy();
  speed->SetValue(150.0f);
  const QImage after = speed->Surface();
  const QRect area = speed->PointerArea();
  int changed_inside = 0;
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      ASSERT_TRUE(area.contains(x, y)) << "changed outside the pointer area at " << x << "," << y;
      ++changed_inside;
    }
  }
  EXPECT_GT(changed_inside, 0);
}

TEST(RoundMeter, TooSmallAreaDrawsNothingAndIgnoresBlinks) {
  auto speed = setups::MakeVS_Speed();
  speed->resize(30, 30);  // the captions take all the room
  Render(*speed);
  EXPECT_TRUE(speed->TooSmall());
  speed->SetValue(200.0f);  // in alarm, but nothing to draw
  for (int tick = 0; tick < 8; ++tick)
    TGxBlinkScheduler::Instance().Tick();
  speed->resize(209, 145);
  Render(*speed);
  EXPECT_FALSE(speed->TooSmall());
}

TEST(RoundMeter, AlarmIsEvaluatedEvenWithoutRoomToDraw) {
  auto speed = setups::MakeVS_Speed();
  speed->resize(30, 30);
  Render(*speed);
  ASSERT_TRUE(speed->TooSmall());
  speed->SetValue(200.0f);  // above LimitUpper 180
  EXPECT_TRUE(speed->Alarm());
  EXPECT_TRUE(TGxBlinkScheduler::Instance().Contains(speed.get()));
  speed->SetValue(100.0f);
  EXPECT_FALSE(speed->Alarm());
  EXPECT_FALSE(TGxBlinkScheduler::Instance().Contains(speed.get()));
}

TEST(RoundMeter, AutoSizeFitsTheDialToTheLabelFont) {
  TGx180Meter meter;
  meter.Loaded();
  Render(meter);
  const int lh = meter.ScaleSettings()->LabelHeight();
  // Width: ten label heights plus both bevels on each side.
  EXPECT_EQ(meter.width(),
            10 * lh + 2 * meter.BevelOuter()->TotalWidth() + 2 * meter.BevelInner()->TotalWidth());
}

TEST(ScaleSettings, StepsOutsideTheirRangeAreIgnored) {
  TScaleSettings scale;
  scale.SetSteps(0);
  scale.SetSteps(21);
  EXPECT_EQ(scale.Steps(), 5);
  scale.SetSteps(20);
  EXPECT_EQ(scale.Steps(), 20);
  scale.SetSubSteps(0);
  scale.SetSubSteps(11);
  EXPECT_EQ(scale.SubSteps(), 2);
}

TEST(ScaleSettings, LabelListsRunFromTheStartOfTheScale) {
  TScaleSettings scale;
  scale.SetSteps(7);
  scale.PrepareRound(0.0f, 70.0f);
  EXPECT_EQ(scale.Labels(), "0;10;20;30;40;50;60;70;");
  scale.SetSteps(5);
  scale.PrepareStraight(-40.0f, 160.0f);  // listed top first
  EXPECT_EQ(scale.Labels(), "160;120;80;40;0;-40;");
  scale.SetLogScale(true);
  scale.SetSteps(4);
  scale.PrepareRound(1.0f, 1000.0f);  // 3 decades: 3 intervals
  EXPECT_EQ(scale.DrawnSteps(), 3);
  EXPECT_EQ(scale.Labels(), "1e0;1e1;1e2;1e3;");
}

}  // namespace
}  // namespace m797::gauges
