#include "gauges/bevel.h"

namespace m797::gauges {

TGxSBevel::TGxSBevel(TBevelStyle style, std::int32_t spacing, TBevelLine line, std::int32_t width,
                     TColor color)
    : style_(style),
      spacing_(spacing),
      bevel_line_(line),
      width_(width < 0 ? 0 : width),
      color_(color) {
  RecomputeTotalWidth();
  offset_.SetOnChange([this](TGxPersistent*) { Changed(); });
  surface_grad_.SetOnChange([this](TGxPersistent*) { Changed(); });
}

void TGxSBevel::SetWidth(std::int32_t v) {
  if (v < 0) return;
  Store(width_, v);
}

void TGxSBevel::RecomputeTotalWidth() {
  total_width_ = spacing_ + width_;
  if (bevel_line_ == TBevelLine::blOuter || bevel_line_ == TBevelLine::blInner) total_width_ += 1;
  if (bevel_line_ == TBevelLine::blBoth) total_width_ += 2;
}

void TGxSBevel::Changed() {
  RecomputeTotalWidth();
  TGxPersistent::Changed();
}

}  // namespace m797::gauges
