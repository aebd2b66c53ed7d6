#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cmath>
#include <functional>

#include "gauges/gx_color.h"

namespace m797::gauges::testing {

// The control as it shows on screen, through its paint event.
inline QImage Render(QWidget& widget) {
  return widget.grab().toImage();
}

// The point at `radius` from `centre` in the direction `angle` (degrees clockwise from up).
inline QPoint PointAt(QPoint centre, double angle, double radius) {
  const double a = angle * M_PI / 180.0;
  return QPoint(centre.x() + static_cast<int>(std::lround(radius * std::sin(a))),
                centre.y() - static_cast<int>(std::lround(radius * std::cos(a))));
}

inline bool Is(const QImage& image, QPoint p, TColor color) {
  return image.pixelColor(p) == ToQColor(color);
}

// How many pixels within `reach` of p satisfy the test.
inline int CountNear(const QImage& image, QPoint p, int reach,
                     const std::function<bool(QColor)>& test) {
  int count = 0;
  for (int y = p.y() - reach; y <= p.y() + reach; ++y)
    for (int x = p.x() - reach; x <= p.x() + reach; ++x)
      if (image.valid(x, y) && test(image.pixelColor(x, y))) ++count;
  return count;
}

inline std::function<bool(QColor)> ColorIs(TColor color) {
  const QColor wanted = ToQColor(color);
  return [wanted](QColor c) { return c == wanted; };
}

inline std::function<bool(QColor)> Dark() {
  return [](QColor c) { return qGray(c.rgb()) < 80; };
}

}  // namespace m797::gauges::testing
