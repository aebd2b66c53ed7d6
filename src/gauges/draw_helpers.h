#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "gauges/bevel.h"
#include "gauges/gx_color.h"
#include "gauges/gx_font.h"

class QPainter;

namespace m797::gauges {

// A rectangle by its edges, right and bottom exclusive, as the layout arithmetic of the
// instruments uses it.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  void Shrink(int d) {
    Left += d;
    Top += d;
    Right -= d;
    Bottom -= d;
  }
  QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
  static TRect From(const QRect& r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }
  bool operator==(const TRect&) const = default;
};

// Paints the bevel into rect and leaves rect as the client area inside it.
void BevelPaint(const TGxSBevel& bevel, QPainter& painter, TRect& rect);

// Step i of n from c1 towards c2, channel by channel (n = 0 counts as 1).
TColor BlendColor(TColor c1, TColor c2, int n, int i);

// Writes text with the anchor (x, y) at one of nine places of its box: 0..2 top left, centre,
// right; 3..5 the same vertically centred; 6..8 the same at the bottom.
void DrawAlignedText(QPainter& painter, int x, int y, int alignment, const QString& text);

// Width and height of a text in a font.
QSize MeasureText(const TGxFont& font, const QString& text);

// Turns p about centre by angle degrees; clockwise on screen (y grows downward) when clockwise.
QPoint RotatePoint(QPoint p, QPoint centre, bool clockwise, double angle);

// Fills rect with a gradient from c1 to c2 (a simple rendering of each style).
void FillGradient(QPainter& painter, const TRect& rect, TColor c1, TColor c2, TGradientStyle style);

}  // namespace m797::gauges
