#pragma once

#include <QPolygon>
#include <cstdint>

#include "gauges/gx_color.h"
#include "gauges/gx_persistent.h"

namespace m797::gauges {

// The pointer of a round meter: its shape number and colours.
class TArrowSettings : public TGxPersistent {
 public:
  std::int32_t Shape() const { return shape_; }
  void SetShape(std::int32_t v) { Store(shape_, v); }
  TColor ColorPen() const { return color_pen_; }
  void SetColorPen(TColor v) { Store(color_pen_, v); }
  TColor ColorBrush() const { return color_brush_; }
  void SetColorBrush(TColor v) { Store(color_brush_, v); }
  TColor ColorCP1Pen() const { return color_cp1_pen_; }
  void SetColorCP1Pen(TColor v) { Store(color_cp1_pen_, v); }
  TColor ColorCP1Brush() const { return color_cp1_brush_; }
  void SetColorCP1Brush(TColor v) { Store(color_cp1_brush_, v); }
  TColor ColorCP2Pen() const { return color_cp2_pen_; }
  void SetColorCP2Pen(TColor v) { Store(color_cp2_pen_, v); }
  TColor ColorCP2Brush() const { return color_cp2_brush_; }
  void SetColorCP2Brush(TColor v) { Store(color_cp2_brush_, v); }

 private:
  std::int32_t shape_ = 0;
  TColor color_pen_ = clBlack;
  TColor color_brush_ = clLime;
  TColor color_cp1_pen_ = clBlack;
  TColor color_cp1_brush_ = clBlack;
  TColor color_cp2_pen_ = clBlack;
  TColor color_cp2_brush_ = clBtnFace;
};

// A pointer shape built pointing straight up in a square pointer area of half-width b: the
// polygon (tip at y = 0, pivot at (b, b)), the radii of the two cap circles (0: none) and whether
// its outline flashes with the fill in alarm.
struct TPointerShape {
  QPolygon polygon;
  std::uint8_t cap1_radius = 0;
  std::uint8_t cap2_radius = 0;
  bool outline_flashes = false;
};

// Shapes 0..7; any other number gives shape 0.
TPointerShape BuildPointerShape(std::int32_t shape, int b);

}  // namespace m797::gauges
