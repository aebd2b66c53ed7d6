#include "gauges/round_meter.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>

#include "gauges/gx_math.h"

namespace m797::gauges {

namespace {

QPolygon Rotated(const QPolygon& polygon, QPoint pivot, double angle) {
  QPolygon turned(polygon.size());
  for (int i = 0; i < polygon.size(); ++i)
    turned[i] = RotatePoint(polygon[i], pivot, true, angle);
  return turned;
}

}  // namespace

TGxRMeter::TGxRMeter(QWidget* parent) : TGxRMeter(TGx180Meter::kGeometry, parent) {}

TGxRMeter::TGxRMeter(const TRoundGeometry& geometry, QWidget* parent)
    : TGxInstrument({geometry.default_size, true, true, false}, parent),
      geometry_(geometry),
      arrow_settings_(std::make_unique<TArrowSettings>()),
      font_unit_(std::make_unique<TGxFont>(QStringLiteral("System"), 10, clBlack)) {
  ScaleSettings()->SetSteps(5);
  scale_.map = TScaleMap::Dial(geometry.start, geometry.sweep, 5, 2, false);
}

void TGxRMeter::Loaded() {
  ConnectToSettingsChanged(*arrow_settings_);
  ConnectToSettingsChanged(*font_unit_);
  TGxInstrument::Loaded();
}

QPoint TGxRMeter::Pivot() const {
  return QPoint(pointer_area_.Left, pointer_area_.Top) + pivot_;
}

void TGxRMeter::CalculateSize() {
  const TSignalSettings& signal = *SignalSettings();
  const TScaleLayout& scale = scale_measured_ =
      ScaleSettings()->PrepareRound(signal.ValueFrom(), signal.ValueTo());
  const int lh = scale.label_height;
  const auto [outer, inner] = BevelWidths();
  int w = AutoSize() ? 10 * lh : std::max(width() - outer - inner, 7 * lh);
  int h = RoundInt((w - scale.label_width) / geometry_.aspect + lh);
  h += outer;
  w += outer;
  AddCaptionSizes(0, w, h);
  ApplyAutoSize(QSize(w + inner, h + inner));
}

void TGxRMeter::PaintStatic(QPainter& painter) {
  TScaleSettings& scale = *ScaleSettings();
  TRect rect = PaintFrame(painter);
  if (options_.Contains(TRMeterOption::opBevelInner)) BevelPaint(*BevelInner(), painter, rect);
  SetTooSmall(rect.Width() < 2 || rect.Height() < 2);
  if (TooSmall()) return;

  if (geometry_.widened) {
    rect.Left -= rect.Width() / 20;
    rect.Right += rect.Width() / 20;
  }
  pointer_area_.Bottom = BevelInner()->Spacing() + rect.Bottom;
  scale_ = scale.PlaceRound(scale_measured_, rect, geometry_.start, geometry_.sweep);
  scale.DrawRound(painter, scale_);
  const TRect& square = scale_.rect;
  pointer_area_.Left = square.Left;
  pointer_area_.Top = square.Top;
  pointer_area_.Right = square.Right;

  const int sector_offset = SectorSettings()->Offset();
  if (options_.Contains(TRMeterOption::opSector)) {
    TRect ring = square;
    ring.Shrink(scale_.tick_length + sector_offset);
    DrawSectors(painter, ring);
  }
  // Sectors pushed outward over the ticks: the ticks and labels go on top again.
  if (sector_offset < 0) scale.DrawRound(painter, scale_);

  if (options_.Contains(TRMeterOption::opUnit)) {
    painter.setFont(font_unit_->ToQFont());
    painter.setPen(ToQColor(font_unit_->Color()));
    painter.setBrush(Qt::NoBrush);
    const int y = RoundInt(square.Width() / 3.0 - scale_.label_height / 2.0) + square.Top;
    DrawAlignedText(painter, (square.Left + square.Right) / 2, y, 1, SignalSettings()->ValueUnit());
  }

  // The pointer and the markers, built pointing straight up and turned to the start.
  const int b = pointer_area_.Width() / 2;
  pivot_ = QPoint(b, b);
  pointer_ = BuildPointerShape(arrow_settings_->Shape(), b);
  pointer_.polygon = Rotated(pointer_.polygon, pivot_, geometry_.start);
  const int tick = scale_.tick_length;
  const int d = RoundInt(tick * 0.6);
  const int f = d + tick;
  min_marker_ =
      Rotated(QPolygon({QPoint(b, f), QPoint(b, 1), QPoint(b - d, 1)}), pivot_, geometry_.start);
  max_marker_ =
      Rotated(QPolygon({QPoint(b, f), QPoint(b, 1), QPoint(b + d, 1)}), pivot_, geometry_.start);
}

void TGxRMeter::DrawSectors(QPainter& painter, const TRect& s) {
  if (s.Width() <= 0 || s.Height() <= 0) return;
  const TSectorSettings& sectors = *SectorSettings();
  const TScaleMap& map = scale_.map;
  painter.save();
  // The ring between the ellipses inscribed in S and in S shrunk, in device pixels.
  const qreal ratio = Images().Ratio();
  TRect hole = s;
  hole.Shrink(s.Width() / 10 + sectors.WidthOffset());
  QRegion ring(TOffscreenImages::ToDevice(s.ToQRect(), ratio), QRegion::Ellipse);
  if (hole.Width() > 0 && hole.Height() > 0)
    ring -= QRegion(TOffscreenImages::ToDevice(hole.ToQRect(), ratio), QRegion::Ellipse);
  TOffscreenImages::ClipInDevicePixels(painter, ring, ratio);
  for (int n = 0; n < 3; ++n) {
    const int from = sectors.FromOf(n);
    const int to = sectors.ToOf(n);
    if (!(to - from > 4 && to > 0 && from < 1000)) continue;
    double start = map.At(0);
    int positions = std::min(1000, to);
    if (from >= 0) {
      start = map.WholeAt(from);
      positions -= from;
    }
    const QColor color = ToQColor(sectors.ColorOf(n));
    painter.setPen(color);
    painter.setBrush(color);
    painter.drawPie(s.ToQRect(), RoundInt((90.0 - start) * 16.0), -map.WholeOffset(positions) * 16);
  }
  painter.restore();
  if (ScaleSettings()->DrawLine()) ScaleSettings()->DrawArc(painter, scale_);
}

TGxInstrument::TPointerState TGxRMeter::PointerState() const {
  return {PPT(), Alarm() ? CurrentBlinkColor() : arrow_settings_->ColorBrush(), Alarm(), {}};
}

void TGxRMeter::PaintMarkers(QPainter& painter, const TMarkerState& m) const {
  auto marker = [&](bool visible, const QPolygon& shape, int ppt, TColor fill) {
    if (!visible) return;
    painter.setPen(ToQColor(fill));
    painter.setBrush(ToQColor(fill));
    painter.drawPolygon(Rotated(shape, pivot_, scale_.map.Offset(ppt)));
  };
  marker(m.min_visible, min_marker_, m.min_ppt, m.min_color);
  marker(m.max_visible, max_marker_, m.max_ppt, m.max_color);
}

void TGxRMeter::PaintPointer(QPainter& painter, const TPointerState& p) const {
  const TArrowSettings& arrow = *arrow_settings_;
  painter.setPen(ToQColor(p.alarm && pointer_.outline_flashes ? p.fill : arrow.ColorPen()));
  painter.setBrush(ToQColor(p.fill));
  painter.drawPolygon(Rotated(pointer_.polygon, pivot_, scale_.map.Offset(p.ppt)));
  auto cap = [&](int radius, TColor pen, TColor brush) {
    if (radius == 0) return;
    painter.setPen(ToQColor(pen));
    painter.setBrush(ToQColor(brush));
    painter.drawEllipse(QRect(pivot_.x() - radius, pivot_.y() - radius, 2 * radius, 2 * radius));
  };
  cap(pointer_.cap1_radius, arrow.ColorCP1Pen(), arrow.ColorCP1Brush());
  cap(pointer_.cap2_radius, arrow.ColorCP2Pen(), arrow.ColorCP2Brush());
}

TGx180Meter::TGx180Meter(QWidget* parent) : TGxRMeter(kGeometry, parent) {}

TGx120Meter::TGx120Meter(QWidget* parent) : TGxRMeter(kGeometry, parent) {}

}  // namespace m797::gauges
