#include <gtest/gtest.h>

#include <QFontMetrics>
#include <vector>

#include "gauges/blink_scheduler.h"
#include "gauges/thermometer.h"
#include "gauges/value_indicator.h"
#include "gauges/vertical_meter.h"
#include "ui/form1_gauges.h"
#include "meter_probe.h"
#include "qt_print.h"

namespace m797::gauges {
namespace {

namespace setups = ui::form1;

using testing::ColorIs;
using testing::CountNear;
using testing::Is;
using testing::Render;

// Leftmost and rightmost columns of the area holding a pixel of the colour.
std::pair<int, int> InkColumns(const QImage& image, const QRect& area, TColor color) {
  int left = area.right() + 1;
  int right = area.left() - 1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (Is(image, QPoint(x, y), color)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return {left, right};
}

TEST(ValueIndicator, TextsFollowTheFormatAndStayRightAligned) {
  auto nmot = setups::MakeVI_Nmot();  // "####0"
  nmot->SetValue(850.0f);
  EXPECT_EQ(nmot->ValueText(), "850");
  QImage image = Render(*nmot);
  const QRect area = nmot->TextArea();
  const auto [left3, right3] = InkColumns(image, area, clLime);
  ASSERT_LT(left3, right3);
  EXPECT_GE(right3, area.right() - 3);  // right-aligned in the box
  nmot->SetValue(3250.0f);
  image = Render(*nmot);
  const auto [left4, right4] = InkColumns(image, area, clLime);
  EXPECT_NEAR(right4, right3, 1);  // the right edge stays
  EXPECT_LT(left4, left3);         // one more digit grows to the left

  auto ub = setups::MakeVI_Ub();  // "##0.0", stored at 12.0
  Render(*ub);
  EXPECT_EQ(ub->ValueText(), "12.0");
  auto speed = setups::MakeVI_Speed();
  speed->SignalSettings()->SetValueFormat("##0.00");
  speed->SetValue(0.5f);
  EXPECT_EQ(speed->ValueText(), "0.50");
}

TEST(ValueIndicator, AutoSizeFitsTheBoxAndTheUnit) {
  auto nmot = setups::MakeVI_Nmot();
  Render(*nmot);
  const QFontMetrics value_metrics(nmot->FontValue()->ToQFont());
  const int w = value_metrics.horizontalAdvance("####0");
  const int h = value_metrics.height();
  const int t = nmot->BevelValue()->TotalWidth();
  auto expected_width = [&](const QString& unit) {
    return w + value_metrics.horizontalAdvance(unit) + 2 * t + h;
  };
  EXPECT_EQ(nmot->size(), QSize(expected_width(QString::fromUtf8("об/мин")), h + 2 * t));
  // A longer unit grows it, a shorter one shrinks it.
  nmot->SignalSettings()->SetValueUnit("revolutions");
  EXPECT_EQ(nmot->width(), expected_width("revolutions"));
  nmot->SignalSettings()->SetValueUnit("rpm");
  EXPECT_EQ(nmot->width(), expected_width("rpm"));
  const QImage image = Render(*nmot);
  EXPECT_EQ(image.size(), nmot->size());
}

TEST(ValueIndicator, AutoSizeCountsCaptionsAndBevels) {
  TGxValueInd ind;
  ind.SetOptions({TValueIndOption::opBevelInner, TValueIndOption::opBevelOuter,
                  TValueIndOption::opName1, TValueIndOption::opName2, TValueIndOption::opUnit});
  ind.Loaded();
  Render(ind);
  const QFontMetrics caption(ind.Font()->ToQFont());
  const QFontMetrics value(ind.FontValue()->ToQFont());
  const int expected_height = 2 * ind.BevelOuter()->TotalWidth() + 2 * caption.height() +
                              2 * ind.BevelInner()->TotalWidth() + value.height() +
                              2 * ind.BevelValue()->TotalWidth();
  EXPECT_EQ(ind.height(), expected_height);
  // The value text sits inside both bevels and above both captions.
  const QRect text = ind.TextArea();
  EXPECT_GE(text.left(), ind.BevelOuter()->TotalWidth() + ind.BevelInner()->TotalWidth());
  EXPECT_LE(text.bottom(), ind.height() - 2 * caption.height());
  EXPECT_EQ(ind.ValueText(), "50.0");
}

TEST(StraightInstruments, TooSmallAreasDrawNothingAndSurviveWritesAndTicks) {
  auto thr = setups::MakeVS_THR();
  thr->resize(81, 60);  // captions and value box leave no room for the scale
  Render(*thr);
  EXPECT_TRUE(thr->TooSmall());
  thr->SetValue(120.0f);  // no alarm is evaluated without a layout
  EXPECT_FALSE(thr->Alarm());
  for (int tick = 0; tick < 8; ++tick)
    TGxBlinkScheduler::Instance().Tick();
  thr->resize(81, 193);
  Render(*thr);
  EXPECT_FALSE(thr->TooSmall());
  EXPECT_TRUE(thr->Alarm());  // evaluated again once there is room
  EXPECT_TRUE(TGxBlinkScheduler::Instance().Contains(thr.get()));

  auto tog = setups::MakeVS_TOG();
  tog->resize(105, 40);
  Render(*tog);
  EXPECT_TRUE(tog->TooSmall());
  tog->SetValue(50.0f);
  tog->resize(105, 201);
  Render(*tog);
  EXPECT_FALSE(tog->TooSmall());
}

// The number of filled rows at the middle of the column, counted from its foot.
int FilledRows(const QImage& image, const QRect& column, TColor fill) {
  const int x = column.center().x();
  int rows = 0;
  for (int y = column.bottom(); y >= column.top() && Is(image, QPoint(x, y), fill); --y)
    ++rows;
  return rows;
}

TEST(Thermometer, ColumnFollowsThePositionAndClampsWithoutAlarm) {
  auto tog = setups::MakeVS_TOG();  // -40 .. 160
  Render(*tog);
  EXPECT_FALSE(tog->TooSmall());
  const QRect column = tog->Column();
  ASSERT_EQ(column.width(), 3);
  tog->SetValue(60.0f);
  EXPECT_EQ(tog->PPT(), 500);
  QImage image = Render(*tog);
  EXPECT_NEAR(FilledRows(image, column, clBlue), column.height() / 2, 1);
  EXPECT_EQ(tog->ValueText(), "60.0");

  tog->SetValue(170.0f);
  EXPECT_EQ(tog->PPT(), 1000);
  EXPECT_TRUE(tog->OverflowHigh());
  image = Render(*tog);
  EXPECT_EQ(FilledRows(image, column, clBlue), column.height());
  EXPECT_FALSE(TGxBlinkScheduler::Instance().Contains(tog.get()));

  tog->SetValue(-40.0f);
  image = Render(*tog);
  EXPECT_EQ(FilledRows(image, column, clBlue), 0);
}

TEST(Thermometer, ColumnStylesAndSectorColour) {
  TBarSettings bar;
  bar.SetColor(clBlue);
  const QSize size(3, 100);
  auto rows = [&](const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      if (image.pixelColor(1, y) == ToQColor(clBlue)) ++n;
    return n;
  };
  EXPECT_EQ(rows(bar.Draw(size, 250, clBlue, "", "")), 25);
  bar.SetStyle(TBarStyle::bsPoint);
  EXPECT_EQ(rows(bar.Draw(size, 500, clBlue, "", "")), 3);
  bar.SetStyle(TBarStyle::bsLED_Bar);
  // 100 rows hold 25 segments of 4; half the scale lights 12 (12.5 rounds to even): 48 rows,
  // less the 11 dark lines that separate them.
  EXPECT_EQ(rows(bar.Draw(size, 500, clBlue, "", "")), 48 - 11);
  bar.SetStyle(TBarStyle::bsBar);
  bar.SetOptions({TBarOption::opBidir});
  bar.SetZeroPPT(200);
  EXPECT_EQ(rows(bar.Draw(size, 100, clBlue, "", "")), 10);  // below zero: 10 rows under it
  // A lying column grows to the right.
  const QImage lying = bar.Draw(QSize(100, 3), 1000, clBlue, "", "");
  EXPECT_EQ(lying.size(), QSize(100, 3));
  // Values outside 0..1000 draw at the clamped end.
  EXPECT_EQ(rows(bar.Draw(size, 5000, clBlue, "", "")), 80);

  // The column text is combined by exclusive-or: white over the blue fill reads yellow, over
  // the black background white.
  bar.SetOptions({TBarOption::opValue});
  const QImage text = bar.Draw(QSize(40, 100), 500, clBlue, "88", "");
  int yellow = 0;
  int white = 0;
  for (int y = 0; y < text.height(); ++y)
    for (int x = 0; x < text.width(); ++x) {
      yellow += text.pixelColor(x, y) == ToQColor(clYellow);
      white += text.pixelColor(x, y) == ToQColor(clWhite);
    }
  EXPECT_GT(yellow, 0);
  EXPECT_GT(white, 0);

  bar.SetminHeight(0);
  bar.SetminWidth(-2);
  EXPECT_EQ(bar.minHeight(), 5);
  EXPECT_EQ(bar.minWidth(), 5);
}

TEST(Thermometer, SectorColourFillsTheColumnWhenAsked) {
  auto tog = setups::MakeVS_TOG();
  tog->BarSettings()->SetOptions({TBarOption::opUseSectorCol});
  tog->SetValue(150.0f);  // PPT 950: sector 3, red
  const QImage image = Render(*tog);
  EXPECT_GT(FilledRows(image, tog->Column(), clRed), tog->Column().height() / 2);
}

TEST(Thermometer, ColumnTextFollowsTheValueAtAnUnchangedPosition) {
  auto tog = setups::MakeVS_TOG();  // -40 .. 160: five positions a degree
  tog->BarSettings()->SetOptions({TBarOption::opValue});
  tog->BarSettings()->SetminWidth(40);
  tog->SetValue(60.08f);
  Render(*tog);
  // The value pass alone redraws the column, with its text, on the surface.
  const QImage at_60_1 = tog->Surface().copy(tog->Column());
  tog->SetValue(60.02f);  // the text reads 60.0, the column and the markers stay at 500
  ASSERT_EQ(tog->PPT(), 500);
  EXPECT_NE(tog->Surface().copy(tog->Column()), at_60_1);
  tog->SetValue(60.08f);
  EXPECT_EQ(tog->Surface().copy(tog->Column()), at_60_1);
}

TEST(Thermometer, FullRepaintLeavesPosLeftTopCleared) {
  auto plain = setups::MakeVS_TOG();
  Render(*plain);
  auto tog = setups::MakeVS_TOG();
  tog->ScaleSettings()->SetPosLeftTop(true);
  int settings_passes = 0;
  tog->SetOnSettingsChange([&](TGxAnalogGControl*) { ++settings_passes; });
  Render(*tog);
  EXPECT_FALSE(tog->ScaleSettings()->PosLeftTop());
  EXPECT_EQ(settings_passes, 0);  // clearing it asks for no further pass
  // Both scales are drawn either way.
  EXPECT_EQ(tog->Surface(), plain->Surface());
}

QColor PointerFill(TGxVMeter& meter) {
  const QImage image = Render(meter);
  const QPolygon pointer = meter.PointerTriangle();
  const QPoint centroid((pointer[0].x() + pointer[1].x() + pointer[2].x()) / 3,
                        (pointer[0].y() + pointer[1].y() + pointer[2].y()) / 3);
  return image.pixelColor(centroid);
}

TEST(VerticalMeter, OffScaleValueFlashesAtTheTopAndRecoversAtOnce) {
  auto thr = setups::MakeVS_THR();
  Render(*thr);
  ASSERT_FALSE(thr->TooSmall());
  thr->SetValue(50.0f);
  EXPECT_EQ(PointerFill(*thr), ToQColor(clLime));

  while ((TGxBlinkScheduler::Instance().Counter() & 7u) != 4)
    TGxBlinkScheduler::Instance().Tick();
  thr->SetValue(120.0f);
  EXPECT_TRUE(thr->Alarm());
  EXPECT_EQ(thr->PointerRow(), thr->ScaleSettings()->ScaleTop());
  std::vector<QColor> seen{PointerFill(*thr)};
  EXPECT_EQ(seen[0], ToQColor(clRed));
  for (int tick = 1; tick <= 12; ++tick) {
    TGxBlinkScheduler::Instance().Tick();
    seen.push_back(PointerFill(*thr));
  }
  EXPECT_EQ(seen[3], ToQColor(clRed));
  EXPECT_EQ(seen[4], ToQColor(clYellow));
  EXPECT_EQ(seen[7], ToQColor(clYellow));
  EXPECT_EQ(seen[8], ToQColor(clRed));
  EXPECT_EQ(seen[12], ToQColor(clYellow));

  thr->SetValue(50.0f);
  EXPECT_FALSE(thr->Alarm());
  EXPECT_FALSE(TGxBlinkScheduler::Instance().Contains(thr.get()));
  EXPECT_EQ(PointerFill(*thr), ToQColor(thr->ScaleSettings()->PointerColor()));
  EXPECT_GT(thr->PointerRow(), thr->ScaleSettings()->ScaleTop());
}

TEST(VerticalMeter, WithoutOverflowOptionNoFlashing) {
  auto mrv = setups::MakeVS_MRV();  // neither opOverflow nor opLimit
  Render(*mrv);
  mrv->SetValue(200.0f);
  EXPECT_FALSE(mrv->Alarm());
  EXPECT_EQ(PointerFill(*mrv), ToQColor(clLime));
}

TEST(VerticalMeter, HiddenMinimumLeavesTheMaximumAtTheHighestValue) {
  auto mrv = setups::MakeVS_MRV();  // MinVisible False; sectors by default: 0..333 yellow
  Render(*mrv);
  mrv->SetValue(30.0f);   // PPT 250: the minimum, yellow sector
  mrv->SetValue(100.0f);  // PPT 833: the maximum, red sector
  mrv->SetValue(60.0f);
  mrv->SetValue(40.0f);
  const QImage image = Render(*mrv);
  const QRect lane = mrv->Lane();
  const int t = mrv->ScaleSettings()->TickLength();
  // The markers stand beside the lane, from L + T - 4 to L + 2T - 4.
  auto marker_pixels = [&](int row, TColor color) {
    return CountNear(image, QPoint(lane.left() + t + t / 2 - 4, row), t / 2, ColorIs(color));
  };
  const QPolygon pointer = mrv->PointerTriangle();
  const int ppt_row_offset = mrv->PointerRow() - pointer[2].y();  // 0: the tip lies on the row
  EXPECT_EQ(ppt_row_offset, 0);
  const double k =
      (mrv->ScaleSettings()->ScaleBottom() - mrv->ScaleSettings()->ScaleTop()) / 1000.0;
  const int max_row = mrv->ScaleSettings()->ScaleBottom() - static_cast<int>(std::lround(833 * k));
  const int min_row = mrv->ScaleSettings()->ScaleBottom() - static_cast<int>(std::lround(250 * k));
  EXPECT_EQ(mrv->MaxPPT(), 833);
  EXPECT_GT(marker_pixels(max_row - 2, clRed), 0);
  EXPECT_EQ(marker_pixels(min_row + 2, clYellow), 0);
}

TEST(VerticalMeter, ValueWriteRedrawsOnlyTheDynamicAreaAndTheText) {
  auto dv = setups::MakeVS_DV();
  Render(*dv);
  const QImage before = dv->Surface().copy();
  dv->SetValue(7.5f);
  EXPECT_EQ(dv->ValueText(), "7.50");
  const QImage after = dv->Surface();
  const QRect allowed = dv->DynamicArea();
  const QRect text = dv->ValueTextArea();
  int changed = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x)
      if (before.pixel(x, y) != after.pixel(x, y)) {
        ASSERT_TRUE(allowed.contains(x, y) || text.contains(x, y)) << x << "," << y;
        ++changed;
      }
  EXPECT_GT(changed, 0);
}

TEST(VerticalMeter, LeftTopScaleMirrorsThePointer) {
  auto thr = setups::MakeVS_THR();
  thr->ScaleSettings()->SetPosLeftTop(true);
  thr->SetValue(50.0f);
  Render(*thr);
  const QPolygon pointer = thr->PointerTriangle();
  // The tip points left, toward the scale.
  EXPECT_LT(pointer[2].x(), pointer[0].x());
  EXPECT_EQ(PointerFill(*thr), ToQColor(clLime));
}

}  // namespace
}  // namespace m797::gauges
