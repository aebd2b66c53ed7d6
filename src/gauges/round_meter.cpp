#include "gauges/round_meter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <algorithm>

#include "gauges/blink_scheduler.h"
#include "gauges/gx_math.h"

namespace m797::gauges {

namespace {

QSize TextSize(const TGxFont& font, const QString& text) {
  const QFontMetrics metrics(font.ToQFont());
  return QSize(metrics.horizontalAdvance(text), metrics.height());
}

QPolygon Rotated(const QPolygon& polygon, QPoint pivot, double angle) {
  QPolygon turned(polygon.size());
  for (int i = 0; i < polygon.size(); ++i)
    turned[i] = RotatePoint(polygon[i], pivot, true, angle);
  return turned;
}

}  // namespace

TGxRMeter::TGxRMeter(QWidget* parent) : TGxRMeter(TGx180Meter::kGeometry, parent) {}

TGxRMeter::TGxRMeter(const TRoundGeometry& geometry, QWidget* parent)
    : TGxAnalogGControl(parent),
      geometry_(geometry),
      arrow_settings_(std::make_unique<TArrowSettings>()),
      font_unit_(std::make_unique<TGxFont>(QStringLiteral("System"), 10, clBlack)),
      bevel_inner_(std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 5, TBevelLine::blInner, 2)),
      bevel_outer_(std::make_unique<TGxSBevel>(TBevelStyle::bsRaised, 5, TBevelLine::blOuter, 2)),
      scale_settings_(std::make_unique<TScaleSettings>()),
      background_(1, 1, QImage::Format_ARGB32_Premultiplied) {
  // The update lock is held from TGxAnalogGControl's construction until Loaded.
  background_.fill(Qt::transparent);
  scale_settings_->SetSteps(5);
  resize(geometry_.default_size);
}

TGxRMeter::~TGxRMeter() {
  BlinkStop(this);
}

void TGxRMeter::Loaded() {
  ConnectToSettingsChanged(*arrow_settings_);
  ConnectToSettingsChanged(*font_unit_);
  ConnectToSettingsChanged(*bevel_inner_);
  ConnectToSettingsChanged(*bevel_outer_);
  ConnectToSettingsChanged(*scale_settings_);
  TGxAnalogGControl::Loaded();
}

void TGxRMeter::RequestRepaint() {
  if (UpdateLock() == 0) Invalidate();
}

void TGxRMeter::SetAutoSize(bool on) {
  auto_size_ = on;
  RequestRepaint();
}

void TGxRMeter::SetOptions(TRMeterOptions options) {
  options_ = options;
  RequestRepaint();
}

void TGxRMeter::LogScaleChanged() {
  scale_settings_->SetLogScale(LogScale());
  TGxAnalogGControl::LogScaleChanged();
  RequestRepaint();
}

void TGxRMeter::SettingsChanged() {
  TGxAnalogGControl::SettingsChanged();
  RequestRepaint();
}

QPoint TGxRMeter::Pivot() const {
  const int b = pointer_area_.Width() / 2;
  return QPoint(pointer_area_.Left + b, pointer_area_.Top + b);
}

void TGxRMeter::EvaluateAlarm(bool out_of_scale) {
  const bool alarm = (options_.Contains(TRMeterOption::opOverflow) && out_of_scale) ||
                     (options_.Contains(TRMeterOption::opLimit) && (Upper() || Lower()));
  alarm_ = alarm;
  if (alarm)
    BlinkStart(this, 4);
  else
    BlinkStop(this);
}

void TGxRMeter::BlinkMessage(std::uint32_t, int state) {
  if (!Visible() || too_small_) return;
  current_blink_color_ = state != 0 ? kBlinkColor1 : kBlinkColor2;
  DrawPointer();
}

void TGxRMeter::ValueChanged() {
  TGxAnalogGControl::ValueChanged();
  if (!too_small_ && Visible() && background_.width() > 1) DrawPointer();
}

void TGxRMeter::CalculateSize() {
  const TSignalSettings& signal = *SignalSettings();
  name1_size_ = TextSize(*Font(), signal.Name1());
  name2_size_ = TextSize(*Font(), signal.Name2());
  unit_size_ = TextSize(*font_unit_, signal.ValueUnit());
  TScaleSettings& scale = *scale_settings_;
  scale.PrepareRound(signal.ValueFrom(), signal.ValueTo());

  const int lh = scale.LabelHeight();
  const int outer = options_.Contains(TRMeterOption::opBevelOuter) ? bevel_outer_->TotalWidth() : 0;
  const int inner = options_.Contains(TRMeterOption::opBevelInner) ? bevel_inner_->TotalWidth() : 0;
  int w = auto_size_ ? 10 * lh : std::max(width() - 2 * outer - 2 * inner, 7 * lh);
  int h = RoundInt((w - scale.LabelWidth()) / geometry_.aspect + lh);
  h += 2 * outer;
  w += 2 * outer;
  if (options_.Contains(TRMeterOption::opName1)) {
    h += name1_size_.height();
    w = std::max(w, name1_size_.width());
  }
  if (options_.Contains(TRMeterOption::opName2)) {
    h += name2_size_.height();
    w = std::max(w, name2_size_.width());
  }
  h += 2 * inner;
  w += 2 * inner;
  if (auto_size_ && size() != QSize(w, h)) resize(w, h);
}

void TGxRMeter::PaintStatic(QPainter& painter) {
  drawn_.reset();
  const TSignalSettings& signal = *SignalSettings();
  TScaleSettings& scale = *scale_settings_;

  TRect rect{0, 0, width(), height()};
  int s = 0;
  if (options_.Contains(TRMeterOption::opBevelOuter)) {
    BevelPaint(*bevel_outer_, painter, rect);
    s = bevel_outer_->Spacing() / 2;
  }

  painter.setBrush(Qt::NoBrush);
  painter.setFont(Font()->ToQFont());
  painter.setPen(ToQColor(Font()->Color()));
  const int centre_x = (rect.Left + rect.Right) / 2;
  if (options_.Contains(TRMeterOption::opName2)) {
    rect.Bottom -= name2_size_.height();
    DrawAlignedText(painter, centre_x, s + rect.Bottom, 1, signal.Name2());
  }
  if (options_.Contains(TRMeterOption::opName1)) {
    rect.Bottom -= name1_size_.height();
    DrawAlignedText(painter, centre_x, s + rect.Bottom, 1, signal.Name1());
  }

  if (options_.Contains(TRMeterOption::opBevelInner)) BevelPaint(*bevel_inner_, painter, rect);

  too_small_ = rect.Width() < 2 || rect.Height() < 2;
  if (too_small_) {
    background_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    background_.fill(Qt::transparent);
    return;
  }

  if (geometry_.widened) {
    rect.Left -= rect.Width() / 20;
    rect.Right += rect.Width() / 20;
  }

  pointer_area_.Bottom = bevel_inner_->Spacing() + rect.Bottom;
  const TRect dial_input = rect;
  scale.DrawRound(painter, rect, geometry_.sweep, geometry_.start);
  const TRect square = rect;
  pointer_area_.Left = square.Left;
  pointer_area_.Top = square.Top;
  pointer_area_.Right = square.Right;

  const int sector_offset = SectorSettings()->Offset();
  if (options_.Contains(TRMeterOption::opSector)) {
    TRect ring = square;
    ring.Shrink(scale.TickLength() + sector_offset);
    DrawSectors(painter, ring);
  }
  if (sector_offset < 0) {
    // Sectors pushed outward over the ticks: the ticks and labels go on top again.
    TRect again = dial_input;
    scale.DrawRound(painter, again, geometry_.sweep, geometry_.start);
  }

  if (options_.Contains(TRMeterOption::opUnit)) {
    painter.setFont(font_unit_->ToQFont());
    painter.setPen(ToQColor(font_unit_->Color()));
    painter.setBrush(Qt::NoBrush);
    const int y = RoundInt(square.Width() / 3.0 - scale.LabelHeight() / 2.0) + square.Top;
    DrawAlignedText(painter, (square.Left + square.Right) / 2, y, 1, signal.ValueUnit());
  }

  const int b = pointer_area_.Width() / 2;
  const QPoint pivot(b, b);
  pointer_ = BuildPointerShape(arrow_settings_->Shape(), b);
  pointer_.polygon = Rotated(pointer_.polygon, pivot, geometry_.start);

  const int tick = scale.TickLength();
  const int d = RoundInt(tick * 0.6);
  const int f = d + tick;
  min_marker_ =
      Rotated(QPolygon({QPoint(b, f), QPoint(b, 1), QPoint(b - d, 1)}), pivot, geometry_.start);
  max_marker_ =
      Rotated(QPolygon({QPoint(b, f), QPoint(b, 1), QPoint(b + d, 1)}), pivot, geometry_.start);
}

void TGxRMeter::PaintFinished() {
  if (too_small_) return;
  const QRect area = pointer_area_.ToQRect();
  if (area.width() < 1 || area.height() < 1) {
    too_small_ = true;
    return;
  }
  // Parts of the area outside the control stay transparent in the copy.
  background_ = Surface().copy(area);
  // Options may have changed since the last value pass.
  EvaluateAlarm(OverflowHigh() || OverflowLow());
  ValueChanged();
}

void TGxRMeter::DrawSectors(QPainter& painter, const TRect& s) {
  if (s.Width() <= 0 || s.Height() <= 0) return;
  const TSectorSettings& sectors = *SectorSettings();
  painter.save();
  TRect hole = s;
  hole.Shrink(s.Width() / 10 + sectors.WidthOffset());
  QRegion ring(s.ToQRect(), QRegion::Ellipse);
  if (hole.Width() > 0 && hole.Height() > 0) ring -= QRegion(hole.ToQRect(), QRegion::Ellipse);
  painter.setClipRegion(ring, Qt::IntersectClip);

  const double sweep = geometry_.sweep;
  for (int n = 0; n < 3; ++n) {
    const int from = sectors.FromOf(n);
    const int to = sectors.ToOf(n);
    if (!(to - from > 4 && to > 0 && from < 1000)) continue;
    double start = geometry_.start;
    int positions = std::min(1000, to);
    if (from >= 0) {
      start += RoundInt(from * sweep / 1000.0);
      positions -= from;
    }
    const int span = RoundInt(positions * sweep / 1000.0);
    const QColor color = ToQColor(sectors.ColorOf(n));
    painter.setPen(color);
    painter.setBrush(color);
    painter.drawPie(s.ToQRect(), RoundInt((90.0 - start) * 16.0), -span * 16);
  }
  painter.restore();

  if (scale_settings_->DrawLine()) scale_settings_->DrawArc(painter, sweep, geometry_.start);
}

TColor TGxRMeter::MarkerColor(int ppt, TColor own) const {
  if (MinMax()->UseSectorCol()) {
    if (const auto color = SectorSettings()->SectorColorAt(ppt)) return *color;
  }
  return own;
}

void TGxRMeter::DrawPointer() {
  if (too_small_ || background_.width() <= 1) return;
  const TMinMax& minmax = *MinMax();
  const TArrowSettings& arrow = *arrow_settings_;
  const TColor fill = alarm_ ? current_blink_color_ : arrow.ColorBrush();
  const DrawnPointer state{
      PPT(), MinPPT(), MaxPPT(), fill, minmax.MinVisible(), minmax.MaxVisible()};
  if (drawn_ == state) return;  // the area already shows exactly this
  drawn_ = state;

  CopyImage(background_, work_);
  QImage& image = work_;
  {
    QPainter painter(&image);
    const int b = pointer_area_.Width() / 2;
    const QPoint pivot(b, b);
    const double per_ppt = geometry_.sweep / 1000.0;

    if (minmax.MinVisible()) {
      const QColor color = ToQColor(MarkerColor(MinPPT(), minmax.MinColor()));
      painter.setPen(color);
      painter.setBrush(color);
      painter.drawPolygon(Rotated(min_marker_, pivot, per_ppt * MinPPT()));
    }
    if (minmax.MaxVisible()) {
      const QColor color = ToQColor(MarkerColor(MaxPPT(), minmax.MaxColor()));
      painter.setPen(color);
      painter.setBrush(color);
      painter.drawPolygon(Rotated(max_marker_, pivot, per_ppt * MaxPPT()));
    }

    const TColor pen = alarm_ && pointer_.outline_flashes ? current_blink_color_ : arrow.ColorPen();
    painter.setPen(ToQColor(pen));
    painter.setBrush(ToQColor(fill));
    painter.drawPolygon(Rotated(pointer_.polygon, pivot, per_ppt * PPT()));

    auto cap = [&](int radius, TColor pen_color, TColor brush_color) {
      if (radius == 0) return;
      painter.setPen(ToQColor(pen_color));
      painter.setBrush(ToQColor(brush_color));
      painter.drawEllipse(QRect(pivot.x() - radius, pivot.y() - radius, 2 * radius, 2 * radius));
    };
    cap(pointer_.cap1_radius, arrow.ColorCP1Pen(), arrow.ColorCP1Brush());
    cap(pointer_.cap2_radius, arrow.ColorCP2Pen(), arrow.ColorCP2Brush());
  }
  PutImage(image, QPoint(pointer_area_.Left, pointer_area_.Top));
}

TGx180Meter::TGx180Meter(QWidget* parent) : TGxRMeter(kGeometry, parent) {}

TGx120Meter::TGx120Meter(QWidget* parent) : TGxRMeter(kGeometry, parent) {}

}  // namespace m797::gauges
