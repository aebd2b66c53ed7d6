#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "gauges/scale_settings.h"
#include "qt_print.h"

namespace m797::gauges {
namespace {

TEST(ScaleMap, DialPlacesPositionsAndTicksAlongItsSweep) {
  const TScaleMap dial = TScaleMap::Dial(270.0, 180.0, 5, 2, false);
  EXPECT_DOUBLE_EQ(dial.At(0), 270.0);
  EXPECT_DOUBLE_EQ(dial.At(500), 360.0);
  EXPECT_DOUBLE_EQ(dial.At(1000), 450.0);
  EXPECT_DOUBLE_EQ(dial.Offset(250), 45.0);
  // Whole degrees: the sector bounds of the speed meter (440: 79.2 degrees in).
  EXPECT_DOUBLE_EQ(dial.WholeAt(440), 349.0);
  EXPECT_EQ(dial.WholeOffset(280), 50);
  // Ticks in degrees turned from the start; the last major one exactly at the sweep.
  EXPECT_DOUBLE_EQ(dial.MajorTick(1), 36.0);
  EXPECT_DOUBLE_EQ(dial.MajorTick(5), 180.0);
  EXPECT_EQ(dial.MinorTick(2, 1), 90);

  // 7 intervals of 5: the minor ticks fall on whole degrees, the last major tick on 180.
  const TScaleMap fine = TScaleMap::Dial(270.0, 180.0, 7, 5, false);
  EXPECT_EQ(fine.MinorTick(0, 1), 5);   // 5.14
  EXPECT_EQ(fine.MinorTick(3, 2), 87);  // 77.14 + 10.29
  EXPECT_DOUBLE_EQ(fine.MajorTick(7), 180.0);

  // Logarithmic: the minor ticks of each decade at the logarithms of 2..9.
  const TScaleMap log = TScaleMap::Dial(0.0, 90.0, 3, 10, true);  // 30 degrees a decade
  EXPECT_EQ(log.MinorTick(0, 2), 9);                              // log10(2) = 0.301
  EXPECT_EQ(log.MinorTick(1, 5), 51);                             // 30 + 0.699 × 30
  EXPECT_EQ(log.MinorTick(2, 9), 89);                             // 60 + 0.954 × 30
}

TEST(ScaleMap, ColumnCountsRowsUpFromItsBottomAndTicksDownFromItsTop) {
  const TScaleMap column = TScaleMap::Column(10, 310, 5, 2);
  EXPECT_EQ(column.Bottom(), 310);
  EXPECT_EQ(column.Top(), 10);
  EXPECT_EQ(column.Row(0), 310);
  EXPECT_EQ(column.Row(500), 160);
  EXPECT_EQ(column.Row(1000), 10);
  EXPECT_EQ(column.Row(333), 210);  // 99.9 rows up
  EXPECT_EQ(RoundInt(column.MajorTick(0)), 10);
  EXPECT_EQ(RoundInt(column.MajorTick(5)), 310);
  EXPECT_EQ(column.MinorTick(1, 1), 100);
  // Every major tick stands on the row of the position its label names.
  for (int height : {97, 150, 293, 301}) {
    const TScaleMap map = TScaleMap::Column(3, 3 + height, 5, 5);
    for (int i = 0; i <= 5; ++i)
      EXPECT_NEAR(RoundInt(map.MajorTick(i)), map.Row(1000 - 200 * i), 1) << height << " " << i;
  }
}

QImage DrawnStraight(const TScaleSettings& scale, const TScaleLayout& layout) {
  QImage image(60, 120, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  scale.DrawStraight(painter, layout, false);
  return image;
}

TEST(ScaleSettings, DrawingTakesTheLayoutItIsGiven) {
  TScaleSettings scale;
  const TScaleLayout first =
      scale.PlaceStraight(scale.PrepareStraight(0.0f, 100.0f), {2, 5, 40, 110});
  const QImage before = DrawnStraight(scale, first);
  // Measuring and placing another scale with the same settings leaves the first layout's drawing
  // as it was.
  const TScaleLayout other =
      scale.PlaceStraight(scale.PrepareStraight(-40.0f, 160.0f), {0, 0, 20, 50});
  EXPECT_EQ(scale.ScaleBottom(), 50);
  EXPECT_EQ(scale.Labels(), "160;120;80;40;0;-40;");
  EXPECT_EQ(DrawnStraight(scale, first), before);
  EXPECT_NE(DrawnStraight(scale, other), before);
  // Both prepare functions take the range from ValueFrom to ValueTo.
  scale.PrepareRound(0.0f, 100.0f);
  EXPECT_EQ(scale.Labels(), "0;20;40;60;80;100;");
  scale.PrepareStraight(0.0f, 100.0f);
  EXPECT_EQ(scale.Labels(), "100;80;60;40;20;0;");
}

}  // namespace
}  // namespace m797::gauges
