#pragma once

#include <cstdint>

#include "gauges/gx_color.h"
#include "gauges/gx_persistent.h"

namespace m797::gauges {

// Extra insets of a rectangle: Left and Top move its left and top edges in, Right and Bottom its
// right and bottom edges.
class TGxOffset : public TGxPersistent {
 public:
  std::int32_t Top() const { return top_; }
  void SetTop(std::int32_t v) { Store(top_, v); }
  std::int32_t Left() const { return left_; }
  void SetLeft(std::int32_t v) { Store(left_, v); }
  std::int32_t Right() const { return right_; }
  void SetRight(std::int32_t v) { Store(right_, v); }
  std::int32_t Bottom() const { return bottom_; }
  void SetBottom(std::int32_t v) { Store(bottom_, v); }

 private:
  std::int32_t top_ = 0;
  std::int32_t left_ = 0;
  std::int32_t right_ = 0;
  std::int32_t bottom_ = 0;
};

enum class TGradientStyle {
  gsHorizontal1,
  gsHorizontal2,
  gsHorizontal3,
  gsVertical1,
  gsVertical2,
  gsVertical3,
  gsElliptic1,
  gsElliptic2,
  gsElliptic3,
  gsRectangle,
  gsDiamond1,
  gsDiamond2,
  gsTopLeft,
  gsTopRight
};

// The optional colour gradient of a bevel's surface.
class TGxGradSettings : public TGxPersistent {
 public:
  TColor ColorFrom() const { return color_from_; }
  void SetColorFrom(TColor v) { Store(color_from_, v); }
  TColor ColorTo() const { return color_to_; }
  void SetColorTo(TColor v) { Store(color_to_, v); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Store(visible_, v); }
  TGradientStyle Style() const { return style_; }
  void SetStyle(TGradientStyle v) { Store(style_, v); }

 private:
  TColor color_from_ = RGB(226, 226, 226);
  TColor color_to_ = RGB(143, 143, 143);
  bool visible_ = false;
  TGradientStyle style_ = TGradientStyle::gsHorizontal1;
};

enum class TBevelStyle { bsLowered, bsRaised };
enum class TBevelLine { blNone, blOuter, blInner, blBoth };

// A framed panel: a 3-D edge Width pixels wide, optional one-pixel outlines outside and inside
// it, and a blank margin (Spacing) inside.  TotalWidth is the inset per side that the bevel
// leaves for its client area.
class TGxSBevel : public TGxPersistent {
 public:
  explicit TGxSBevel(TBevelStyle style = TBevelStyle::bsRaised, std::int32_t spacing = 5,
                     TBevelLine line = TBevelLine::blNone, std::int32_t width = 2,
                     TColor color = clBtnFace);

  TGxOffset* Offset() const { return const_cast<TGxOffset*>(&offset_); }
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v) { Store(style_, v); }
  std::int32_t Spacing() const { return spacing_; }
  void SetSpacing(std::int32_t v) { Store(spacing_, v); }
  TBevelLine BevelLine() const { return bevel_line_; }
  void SetBevelLine(TBevelLine v) { Store(bevel_line_, v); }
  std::int32_t Width() const { return width_; }
  void SetWidth(std::int32_t v);  // a negative width is refused
  TColor Color() const { return color_; }
  void SetColor(TColor v) { Store(color_, v); }
  TColor ColorShadowFrom() const { return shadow_from_; }
  void SetColorShadowFrom(TColor v) { Store(shadow_from_, v); }
  TColor ColorShadowTo() const { return shadow_to_; }
  void SetColorShadowTo(TColor v) { Store(shadow_to_, v); }
  TColor ColorHighLightFrom() const { return highlight_from_; }
  void SetColorHighLightFrom(TColor v) { Store(highlight_from_, v); }
  TColor ColorHighLightTo() const { return highlight_to_; }
  void SetColorHighLightTo(TColor v) { Store(highlight_to_, v); }
  TColor PenColor() const { return pen_color_; }
  void SetPenColor(TColor v) { Store(pen_color_, v); }
  TGxGradSettings* SurfaceGrad() const { return const_cast<TGxGradSettings*>(&surface_grad_); }

  std::int32_t TotalWidth() const { return total_width_; }

 protected:
  void Changed() override;

 private:
  void RecomputeTotalWidth();

  TGxOffset offset_;
  TBevelStyle style_;
  std::int32_t spacing_;
  TBevelLine bevel_line_;
  std::int32_t width_;
  TColor color_;
  TColor shadow_from_ = clBtnShadow;
  TColor shadow_to_ = clBtnShadow;
  TColor highlight_from_ = clBtnHighlight;
  TColor highlight_to_ = clBtnHighlight;
  TColor pen_color_ = clBlack;
  TGxGradSettings surface_grad_;
  std::int32_t total_width_ = 0;
};

}  // namespace m797::gauges
