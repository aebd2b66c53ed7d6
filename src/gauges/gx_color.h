#pragma once

#include <QColor>
#include <cstdint>

namespace m797::gauges {

// A colour as the gauges store it: either 24-bit RGB laid out as 0x00BBGGRR, or a system colour
// named by its platform index, marked by a high byte of all ones.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor kSystemColorMark = 0xFF000000;
inline constexpr TColor clWindowText = kSystemColorMark | 8;
inline constexpr TColor clBtnFace = kSystemColorMark | 15;
inline constexpr TColor clBtnShadow = kSystemColorMark | 16;
inline constexpr TColor clBtnHighlight = kSystemColorMark | 20;

constexpr TColor RGB(int red, int green, int blue) {
  return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(TColor c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(TColor c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

// Resolves a system colour to its RGB value; an RGB colour is returned unchanged.
TColor ColorToRGB(TColor color);

// The colour as Qt draws it (opaque).
QColor ToQColor(TColor color);

}  // namespace m797::gauges
