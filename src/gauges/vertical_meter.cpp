#include "gauges/vertical_meter.h"

#include <QPainter>
#include <algorithm>

namespace m797::gauges {

TGxVMeter::TGxVMeter(QWidget* parent)
    : TGxStraightInstrument({QSize(98, 273), true, true, true}, clLime, clBlack, parent) {}

void TGxVMeter::CalculateSize() {
  const TGxValueBox& box = MeasureScaleAndBox();
  const TScaleLayout& scale = scale_measured_;
  const TParts parts = Parts();
  const auto [outer, inner] = BevelWidths();
  int h = scale.scale_min_height + (parts.bevel_outer ? outer + scale.tick_length : 0);
  int w = outer;
  AddCaptionSizes(outer, w, h);
  if (inner > 0) {
    h += inner;
    w = std::max(w, inner + outer);
  }
  const int b = outer + inner;
  w = std::max(w, b + scale.scale_width + scale.tick_length / 2 + 1);
  if (parts.value) AddValueBoxSize(BevelInner()->TotalWidth(), b, box.TextHeight() / 3, w, h);
  ApplyAutoSize(QSize(w, h));
}

void TGxVMeter::PaintStatic(QPainter& painter) {
  TScaleSettings& scale = *ScaleSettings();
  TRect rect = PaintFrame(painter);
  if (options_.Contains(TGxVMeterOption::opValue))
    rect.Top = PaintValueBox(painter, rect).Bottom + BevelOuter()->Spacing();
  if (options_.Contains(TGxVMeterOption::opBevelInner)) BevelPaint(*BevelInner(), painter, rect);
  dynamic_area_ = rect;

  const int tick = scale_measured_.tick_length;
  TRect scale_area = rect;
  scale_area.Top += tick / 2;
  scale_area.Bottom -= tick / 2 + 1;
  SetTooSmall(scale_area.Width() < 2 || scale_area.Height() < 2);
  if (TooSmall()) return;

  // Centred in the whole control; the lane stands on the tick side's other side.
  const int d = tick / 2;
  const int scale_width = scale_measured_.scale_width;
  const int e = (width() - scale_width - d) / 2;
  const bool left_top = scale.PosLeftTop();
  TRect scale_rect = scale_area;
  scale_rect.Left = left_top ? e : e + d;
  scale_rect.Right = scale_rect.Left + scale_width;
  lane_.Left = left_top ? scale_width + e - d : e;
  lane_.Right = lane_.Left + tick;
  lane_.Top = scale_area.Top - tick / 2;
  lane_.Bottom = scale_area.Bottom + tick / 2;
  scale_ = scale.PlaceStraight(scale_measured_, scale_rect);

  if (options_.Contains(TGxVMeterOption::opSector)) {
    // A strip along the base line, on the side of the ticks.
    const TSectorSettings& sectors = *SectorSettings();
    const int strip = scale_.minor_tick_length;
    const int strip_left = left_top ? scale_rect.Right - strip : scale_rect.Left;
    for (int n = 0; n < 3; ++n) {
      const int from = sectors.FromOf(n);
      const int to = sectors.ToOf(n);
      if (!(to - from > 0 && to > 0 && from < 1000)) continue;
      const int bottom = scale_.map.Row(std::max(0, from)) + 1;
      const int top = scale_.map.Row(std::min(1000, to));
      painter.fillRect(QRect(strip_left, top, strip, bottom - top), ToQColor(sectors.ColorOf(n)));
    }
  }
  scale.DrawStraight(painter, scale_, left_top);
}

QPolygon TGxVMeter::Pointer(int ppt) const {
  const int a = scale_.tick_length / 2;
  const int t = scale_.tick_length;
  const int y = scale_.map.Row(std::clamp(ppt, 0, 1000)) - dynamic_area_.Top;
  if (!ScaleSettings()->PosLeftTop()) {
    const int l = lane_.Left - dynamic_area_.Left;
    return QPolygon({QPoint(l, y - a), QPoint(l, y + a), QPoint(l + t, y)});
  }
  const int r = lane_.Right - 1 - dynamic_area_.Left;
  return QPolygon({QPoint(r, y + a), QPoint(r, y - a), QPoint(r - t, y)});
}

QPolygon TGxVMeter::Marker(int ppt, bool max) const {
  const int a = (max ? -1 : 1) * (scale_.tick_length / 2);
  const int t = scale_.tick_length;
  const int y = scale_.map.Row(ppt) - dynamic_area_.Top;
  if (!ScaleSettings()->PosLeftTop()) {
    const int l = lane_.Left - dynamic_area_.Left;
    return QPolygon({QPoint(l + t - 4, y), QPoint(l + 2 * t - 4, y + a), QPoint(l + 2 * t - 4, y)});
  }
  const int r = lane_.Right - 1 - dynamic_area_.Left;
  return QPolygon({QPoint(r - 2 * t + 4, y), QPoint(r - 2 * t + 4, y + a), QPoint(r - t + 4, y)});
}

QPolygon TGxVMeter::PointerTriangle() const {
  return Pointer(PPT()).translated(dynamic_area_.Left, dynamic_area_.Top);
}

QRect TGxVMeter::MovingStrip() const {
  // The lane and the markers beside it, with one pixel of margin for the outlines.
  const int t = scale_.tick_length;
  const int left = ScaleSettings()->PosLeftTop() ? lane_.Right - 1 - 2 * t : lane_.Left;
  const QRect area = DynamicArea();
  return QRect(left - area.left() - 1, 0, 2 * t + 3, area.height())
      .intersected(QRect(QPoint(0, 0), area.size()));
}

TGxInstrument::TPointerState TGxVMeter::PointerState() const {
  return {PPT(), Alarm() ? CurrentBlinkColor() : ScaleSettings()->PointerColor(), Alarm(), {}};
}

void TGxVMeter::PaintMarkers(QPainter& painter, const TMarkerState& m) const {
  painter.setPen(Qt::black);
  if (m.min_visible) {
    painter.setBrush(ToQColor(m.min_color));
    painter.drawPolygon(Marker(m.min_ppt, false));
  }
  if (m.max_visible) {
    painter.setBrush(ToQColor(m.max_color));
    painter.drawPolygon(Marker(m.max_ppt, true));
  }
}

void TGxVMeter::PaintPointer(QPainter& painter, const TPointerState& p) const {
  painter.setPen(Qt::black);
  painter.setBrush(ToQColor(p.fill));
  painter.drawPolygon(Pointer(p.ppt));
}

bool TGxVMeter::AcceptsBlink() const {
  return options_.Contains(TGxVMeterOption::opOverflow) && Images().Captured();
}

void TGxVMeter::ShowBlink() {
  const QPolygon pointer = PointerTriangle();
  {
    QPainter painter(&Images().Surface());
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ToQColor(CurrentBlinkColor()));
    painter.drawPolygon(pointer);
  }
  ForgetMovingParts();
  update(pointer.boundingRect().adjusted(-1, -1, 1, 1));
}

}  // namespace m797::gauges
