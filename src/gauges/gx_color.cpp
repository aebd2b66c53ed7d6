#include "gauges/gx_color.h"

namespace m797::gauges {

TColor ColorToRGB(TColor color) {
  if ((color & kSystemColorMark) != kSystemColorMark) return color & 0xFFFFFF;
  // Fixed values of the classic desktop scheme, so that the instruments look the same on every
  // machine and the drawing can be checked pixel by pixel.
  switch (color & 0xFF) {
    case 8:  // window text
      return RGB(0, 0, 0);
    case 15:  // button face
      return RGB(240, 240, 240);
    case 16:  // button shadow
      return RGB(160, 160, 160);
    case 20:  // button highlight
      return RGB(255, 255, 255);
    case 5:  // window
      return RGB(255, 255, 255);
    case 21:  // 3-D dark shadow
      return RGB(105, 105, 105);
    case 22:  // 3-D light
      return RGB(227, 227, 227);
    default:
      return RGB(0, 0, 0);
  }
}

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

}  // namespace m797::gauges
