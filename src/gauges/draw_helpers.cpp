#include "gauges/draw_helpers.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

#include "gauges/gx_math.h"

namespace m797::gauges {

namespace {

constexpr double kPi = 3.14159265358979323846;

void FillSolid(QPainter& painter, const TRect& r, TColor color) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  painter.fillRect(r.ToQRect(), ToQColor(color));
}

// One ring of a 3-D frame: the top and left edges in `top_left`, the bottom and right edges in
// `bottom_right` (which owns the top-right and bottom-left corners).
void FrameRing(QPainter& painter, const TRect& r, TColor top_left, TColor bottom_right) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const QColor tl = ToQColor(top_left);
  const QColor br = ToQColor(bottom_right);
  painter.fillRect(QRect(r.Left, r.Top, 1, r.Height()), tl);
  painter.fillRect(QRect(r.Left, r.Top, r.Width() - 1, 1), tl);
  painter.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), br);
  painter.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), br);
}

// A one-pixel outline along the inside of r.
void Outline(QPainter& painter, const TRect& r, TColor color) {
  FrameRing(painter, r, color, color);
}

}  // namespace

TColor BlendColor(TColor c1, TColor c2, int n, int i) {
  const TColor a = ColorToRGB(c1);
  const TColor b = ColorToRGB(c2);
  if (a == b) return c1;
  const double steps = n == 0 ? 1.0 : static_cast<double>(n);
  auto channel = [&](int from, int to) { return from + RoundInt((to - from) / steps * i); };
  return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
             channel(GetBValue(a), GetBValue(b)));
}

void FillGradient(QPainter& painter, const TRect& r, TColor c1, TColor c2, TGradientStyle style) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const QRectF box = r.ToQRect();
  const QColor from = ToQColor(c1);
  const QColor to = ToQColor(c2);
  QGradient* gradient = nullptr;
  QLinearGradient linear;
  QRadialGradient radial(box.center(), std::max(box.width(), box.height()) / 2.0);
  switch (style) {
    case TGradientStyle::gsHorizontal1:
    case TGradientStyle::gsHorizontal2:
    case TGradientStyle::gsHorizontal3:
      linear = QLinearGradient(box.topLeft(), box.topRight());
      gradient = &linear;
      break;
    case TGradientStyle::gsVertical1:
    case TGradientStyle::gsVertical2:
    case TGradientStyle::gsVertical3:
      linear = QLinearGradient(box.topLeft(), box.bottomLeft());
      gradient = &linear;
      break;
    case TGradientStyle::gsTopLeft:
      linear = QLinearGradient(box.topLeft(), box.bottomRight());
      gradient = &linear;
      break;
    case TGradientStyle::gsTopRight:
      linear = QLinearGradient(box.topRight(), box.bottomLeft());
      gradient = &linear;
      break;
    default:
      gradient = &radial;
      break;
  }
  // The "2" styles run from the edges to the middle and back, the "3" styles the other way.
  if (style == TGradientStyle::gsHorizontal2 || style == TGradientStyle::gsVertical2) {
    gradient->setColorAt(0.0, from);
    gradient->setColorAt(0.5, to);
    gradient->setColorAt(1.0, from);
  } else if (style == TGradientStyle::gsHorizontal3 || style == TGradientStyle::gsVertical3) {
    gradient->setColorAt(0.0, to);
    gradient->setColorAt(0.5, from);
    gradient->setColorAt(1.0, to);
  } else {
    gradient->setColorAt(0.0, from);
    gradient->setColorAt(1.0, to);
  }
  painter.fillRect(box, *gradient);
}

void BevelPaint(const TGxSBevel& bevel, QPainter& painter, TRect& rect) {
  FillSolid(painter, rect, bevel.Color());
  const TRect outer = rect;
  const TBevelLine line = bevel.BevelLine();
  const bool outer_line = line == TBevelLine::blOuter || line == TBevelLine::blBoth;
  const bool inner_line = line == TBevelLine::blInner || line == TBevelLine::blBoth;
  if (outer_line) rect.Shrink(1);
  TRect surface = outer;
  surface.Shrink(bevel.TotalWidth() - bevel.Spacing());

  FillSolid(painter, rect, bevel.Color());
  const int width = bevel.Width();
  for (int i = 1; i <= width; ++i) {
    TColor top_left;
    TColor bottom_right;
    if (bevel.Style() == TBevelStyle::bsRaised) {
      top_left = BlendColor(bevel.ColorHighLightFrom(), bevel.ColorHighLightTo(), width, i);
      bottom_right = BlendColor(bevel.ColorShadowFrom(), bevel.ColorShadowTo(), width, i);
    } else {
      top_left = BlendColor(bevel.ColorShadowTo(), bevel.ColorShadowFrom(), width, i);
      bottom_right = BlendColor(bevel.ColorHighLightTo(), bevel.ColorHighLightFrom(), width, i);
    }
    FrameRing(painter, rect, top_left, bottom_right);
    rect.Shrink(1);
  }

  const TGxGradSettings& grad = *bevel.SurfaceGrad();
  if (grad.Visible())
    FillGradient(painter, surface, grad.ColorFrom(), grad.ColorTo(), grad.Style());

  if (inner_line) {
    Outline(painter, rect, bevel.PenColor());
    rect.Shrink(1);
  }
  if (outer_line) Outline(painter, outer, bevel.PenColor());

  rect.Shrink(bevel.Spacing());
  const TGxOffset& offset = *bevel.Offset();
  rect.Left += offset.Left();
  rect.Top += offset.Top();
  rect.Right -= offset.Right();
  rect.Bottom -= offset.Bottom();
}

void DrawAlignedText(QPainter& painter, int x, int y, int alignment, const QString& text) {
  const QFontMetrics metrics = painter.fontMetrics();
  const int w = metrics.horizontalAdvance(text);
  const int h = metrics.height();
  int left = x;
  int top = y;
  switch (alignment % 3) {
    case 1:
      left = x - w / 2;
      break;
    case 2:
      left = x - w;
      break;
    default:
      break;
  }
  switch (alignment / 3) {
    case 1:
      top = y - h / 2;
      break;
    case 2:
      top = y - h;
      break;
    default:
      break;
  }
  painter.drawText(QPoint(left, top + metrics.ascent()), text);
}

QSize MeasureText(const TGxFont& font, const QString& text) {
  const QFontMetrics metrics(font.ToQFont());
  return QSize(metrics.horizontalAdvance(text), metrics.height());
}

QPoint RotatePoint(QPoint p, QPoint centre, bool clockwise, double angle) {
  const float radians = static_cast<float>(angle * kPi / 180.0);
  const double c = std::cos(static_cast<double>(radians));
  double s = std::sin(static_cast<double>(radians));
  if (!clockwise) s = -s;
  const double dx = p.x() - centre.x();
  const double dy = p.y() - centre.y();
  return QPoint(centre.x() + RoundInt(dx * c - dy * s), centre.y() + RoundInt(dy * c + dx * s));
}

}  // namespace m797::gauges
