#include "gauges/draw_helpers.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "gauges/gx_font.h"

namespace m797::gauges {
namespace {

TEST(RotatePoint, ClockwiseOnScreen) {
  const QPoint centre(100, 100);
  EXPECT_EQ(RotatePoint(QPoint(100, 90), centre, true, 90.0), QPoint(110, 100));
  EXPECT_EQ(RotatePoint(QPoint(100, 90), centre, true, 180.0), QPoint(100, 110));
  EXPECT_EQ(RotatePoint(QPoint(100, 90), centre, true, 270.0), QPoint(90, 100));
  EXPECT_EQ(RotatePoint(QPoint(100, 90), centre, false, 90.0), QPoint(90, 100));
  EXPECT_EQ(RotatePoint(QPoint(100, 90), centre, true, 450.0), QPoint(110, 100));
}

TEST(BlendColor, StepsChannelByChannel) {
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(255, 100, 10), 2, 1), RGB(128, 50, 5));
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(255, 100, 10), 2, 2), RGB(255, 100, 10));
  // Equal colours give the first unchanged, even a system colour.
  EXPECT_EQ(BlendColor(clBtnShadow, clBtnShadow, 2, 1), clBtnShadow);
  // n = 0 counts as one step.
  EXPECT_EQ(BlendColor(RGB(10, 10, 10), RGB(20, 20, 20), 0, 1), RGB(20, 20, 20));
}

TEST(Bevel, TotalWidthFollowsSpacingWidthAndLines) {
  TGxSBevel bevel(TBevelStyle::bsRaised, 5, TBevelLine::blNone, 2);
  EXPECT_EQ(bevel.TotalWidth(), 7);
  bevel.SetBevelLine(TBevelLine::blOuter);
  EXPECT_EQ(bevel.TotalWidth(), 8);
  bevel.SetBevelLine(TBevelLine::blBoth);
  EXPECT_EQ(bevel.TotalWidth(), 9);
  int changes = 0;
  bevel.SetOnChange([&](TGxPersistent*) { ++changes; });
  bevel.SetWidth(-1);  // refused
  EXPECT_EQ(bevel.Width(), 2);
  EXPECT_EQ(changes, 0);
  bevel.Offset()->SetLeft(3);  // forwarded
  bevel.SurfaceGrad()->SetVisible(true);
  EXPECT_EQ(changes, 2);
}

TEST(Bevel, PaintLeavesTheClientAreaAndDrawsTheEdges) {
  QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  TGxSBevel bevel(TBevelStyle::bsRaised, 3, TBevelLine::blOuter, 2);
  bevel.Offset()->SetTop(1);
  TRect rect{0, 0, 20, 20};
  {
    QPainter painter(&image);
    BevelPaint(bevel, painter, rect);
  }
  EXPECT_EQ(rect, (TRect{6, 7, 14, 14}));
  EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 0));  // outer line
  EXPECT_EQ(image.pixelColor(1, 5), ToQColor(clBtnHighlight));
  EXPECT_EQ(image.pixelColor(18, 5), ToQColor(clBtnShadow));
  EXPECT_EQ(image.pixelColor(10, 10), ToQColor(clBtnFace));

  // Lowered: the shadow on the top and left.
  bevel.SetStyle(TBevelStyle::bsLowered);
  rect = {0, 0, 20, 20};
  {
    QPainter painter(&image);
    BevelPaint(bevel, painter, rect);
  }
  EXPECT_EQ(image.pixelColor(1, 5), ToQColor(clBtnShadow));
  EXPECT_EQ(image.pixelColor(18, 5), ToQColor(clBtnHighlight));
}

QRect DarkBounds(const QImage& image) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 100) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

TEST(DrawAlignedText, AnchorsTheTextBox) {
  TGxFont font("Arial", 14);
  auto draw = [&](int alignment) {
    QImage image(120, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font.ToQFont());
    painter.setPen(Qt::black);
    DrawAlignedText(painter, 60, 60, alignment, "HH");
    painter.end();
    return DarkBounds(image);
  };
  const QRect top_left = draw(0);
  EXPECT_GE(top_left.left(), 60);
  EXPECT_GE(top_left.top(), 60);
  const QRect centred = draw(4);
  EXPECT_NEAR(centred.center().x(), 60, 2);
  EXPECT_NEAR(centred.center().y(), 60, 4);  // glyph ink sits a little above the box centre
  const QRect bottom_right = draw(8);
  EXPECT_LE(bottom_right.right(), 60);
  EXPECT_LE(bottom_right.bottom(), 60);
}

}  // namespace
}  // namespace m797::gauges
