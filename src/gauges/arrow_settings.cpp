#include "gauges/arrow_settings.h"

namespace m797::gauges {

TPointerShape BuildPointerShape(std::int32_t shape, int b) {
  const int t = b / 10;
  const int l = b / 16;
  TPointerShape s;
  switch (shape) {
    case 1:
      s.polygon << QPoint(b - l, b) << QPoint(b + l, b) << QPoint(b, 0);
      s.cap1_radius = static_cast<std::uint8_t>(t + t / 2);
      s.cap2_radius = 3;
      break;
    case 2:
      s.polygon << QPoint(b - t, 4 * t) << QPoint(b + t, 4 * t) << QPoint(b, 0);
      break;
    case 3:
      s.polygon << QPoint(b - l, b + 2 * t) << QPoint(b + l, b + 2 * t) << QPoint(b, 0);
      s.cap1_radius = static_cast<std::uint8_t>(t);
      s.cap2_radius = 3;
      break;
    case 4:
      s.polygon << QPoint(b - l, b + t) << QPoint(b + l, b + t) << QPoint(b + l, 3 * t)
                << QPoint(b + 2 * t, 3 * t) << QPoint(b, 0) << QPoint(b - 2 * t, 3 * t)
                << QPoint(b - l, 3 * t);
      s.cap1_radius = 2;
      break;
    case 5:
      s.polygon << QPoint(b - t, b + t) << QPoint(b + t, b + t) << QPoint(b + t, 2 * t)
                << QPoint(b, 0) << QPoint(b - t, 2 * t);
      s.cap1_radius = 2;
      break;
    case 6:
      s.polygon << QPoint(b - 1, b + 2 * t) << QPoint(b + 1, b + 2 * t) << QPoint(b + 1, 0)
                << QPoint(b - 1, 0);
      s.cap1_radius = 8;
      s.cap2_radius = 3;
      s.outline_flashes = true;
      break;
    case 7:
      s.polygon << QPoint(b - t, b) << QPoint(b - t - l, b + 2 * t) << QPoint(b + t + l, b + 2 * t)
                << QPoint(b + t, b) << QPoint(b, 0);
      s.cap1_radius = static_cast<std::uint8_t>(l);
      s.cap2_radius = 2;
      break;
    default:  // 0
      s.polygon << QPoint(b - t, b + t) << QPoint(b + t, b + t) << QPoint(b, 0);
      s.cap1_radius = 2;
      break;
  }
  return s;
}

}  // namespace m797::gauges
