#include "gauges/value_indicator.h"

#include <algorithm>

namespace m797::gauges {

TGxValueInd::TGxValueInd(QWidget* parent)
    : TGxStraightInstrument({QSize(67, 48), false, false, false}, clLime, clBlack, parent) {
  SetTooSmall(true);  // until the first full repaint lays the box out
}

void TGxValueInd::CalculateSize() {
  const TGxValueBox& box = MeasureScaleAndBox();
  const auto [outer, inner] = BevelWidths();
  int h = outer;
  int w = outer;
  AddCaptionSizes(outer, w, h);
  if (inner > 0) {
    h += inner;
    w = std::max(w, inner + outer);
  }
  AddValueBoxSize(0, outer + inner, box.TextHeight(), w, h);
  // Without AutoSize it only grows.
  const QSize wanted = AutoSize() ? QSize(w, h) : size().expandedTo(QSize(w, h));
  if (size() != wanted) resize(wanted);
}

void TGxValueInd::PaintStatic(QPainter& painter) {
  TRect rect = PaintFrame(painter);
  if (options_.Contains(TValueIndOption::opBevelInner)) BevelPaint(*BevelInner(), painter, rect);
  PaintValueBox(painter, rect);
  SetTooSmall(ValueTextArea().width() < 1 || ValueTextArea().height() < 1);
}

}  // namespace m797::gauges
