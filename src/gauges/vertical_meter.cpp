#include "gauges/vertical_meter.h"

#include <QPainter>
#include <algorithm>

#include "gauges/blink_scheduler.h"
#include "gauges/gx_math.h"

namespace m797::gauges {

TGxVMeter::TGxVMeter(QWidget* parent)
    : TGxAnalogGControl(parent),
      font_value_(std::make_unique<TGxFont>(QStringLiteral("System"), 10, clLime)),
      bevel_inner_(std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 5, TBevelLine::blInner, 2)),
      bevel_outer_(std::make_unique<TGxSBevel>(TBevelStyle::bsRaised, 5, TBevelLine::blOuter, 2)),
      bevel_value_(
          std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 0, TBevelLine::blNone, 2, clBlack)),
      scale_settings_(std::make_unique<TScaleSettings>()),
      background_(1, 1, QImage::Format_ARGB32_Premultiplied) {
  background_.fill(Qt::transparent);
  resize(98, 273);
}

TGxVMeter::~TGxVMeter() {
  BlinkStop(this);
}

void TGxVMeter::Loaded() {
  ConnectToSettingsChanged(*font_value_);
  ConnectToSettingsChanged(*bevel_inner_);
  ConnectToSettingsChanged(*bevel_outer_);
  ConnectToSettingsChanged(*bevel_value_);
  ConnectToSettingsChanged(*scale_settings_);
  TGxAnalogGControl::Loaded();
}

void TGxVMeter::RequestRepaint() {
  if (UpdateLock() == 0) Invalidate();
}

void TGxVMeter::SetAutoSize(bool on) {
  if (on == auto_size_) return;
  auto_size_ = on;
  RequestRepaint();
}

void TGxVMeter::SetOptions(TGxVMeterOptions options) {
  if (options == options_) return;
  options_ = options;
  RequestRepaint();
}

void TGxVMeter::LogScaleChanged() {
  scale_settings_->SetLogScale(LogScale());
  TGxAnalogGControl::LogScaleChanged();
  RequestRepaint();
}

void TGxVMeter::SettingsChanged() {
  TGxAnalogGControl::SettingsChanged();
  RequestRepaint();
}

void TGxVMeter::CalculateSize() {
  const TSignalSettings& signal = *SignalSettings();
  TScaleSettings& scale = *scale_settings_;
  scale.PrepareStraight(signal.ValueTo(), signal.ValueFrom());
  box_.Measure(*font_value_, signal.FormatTemplate(), signal.ValueUnit(),
               options_.Contains(TGxVMeterOption::opUnit));
  const bool has_outer = options_.Contains(TGxVMeterOption::opBevelOuter);
  const int outer = has_outer ? 2 * bevel_outer_->TotalWidth() : 0;
  const int inner =
      options_.Contains(TGxVMeterOption::opBevelInner) ? 2 * bevel_inner_->TotalWidth() : 0;
  int h = scale.ScaleMinHeight() + (has_outer ? outer + scale.TickLength() : 0);
  int w = outer;
  AddCaptionSizes(*Font(), signal.Name1(), options_.Contains(TGxVMeterOption::opName1),
                  signal.Name2(), options_.Contains(TGxVMeterOption::opName2), outer, w, h);
  if (inner > 0) {
    h += inner;
    w = std::max(w, inner + outer);
  }
  const int b = outer + inner;
  w = std::max(w, b + scale.ScaleWidth() + scale.TickLength() / 2 + 1);
  if (options_.Contains(TGxVMeterOption::opValue)) {
    const int value_bevel = 2 * bevel_value_->TotalWidth();
    h += box_.TextHeight() + value_bevel + bevel_inner_->TotalWidth();
    w = std::max(w, b + box_.TextWidth() + box_.UnitWidth() + value_bevel + box_.TextHeight() / 3);
  }
  if (auto_size_ && size() != QSize(w, h)) resize(w, h);
}

void TGxVMeter::PaintStatic(QPainter& painter) {
  const TSignalSettings& signal = *SignalSettings();
  TScaleSettings& scale = *scale_settings_;
  TRect rect{0, 0, width(), height()};
  int s = 0;
  if (options_.Contains(TGxVMeterOption::opBevelOuter)) {
    BevelPaint(*bevel_outer_, painter, rect);
    s = bevel_outer_->Spacing() / 2;
  }
  DrawCaptions(painter, rect, *Font(), signal.Name1(), options_.Contains(TGxVMeterOption::opName1),
               signal.Name2(), options_.Contains(TGxVMeterOption::opName2), s);
  if (options_.Contains(TGxVMeterOption::opValue)) {
    const TRect box = box_.Paint(painter, rect, *bevel_value_, *font_value_, Font()->Color(),
                                 signal.ValueUnit(), options_.Contains(TGxVMeterOption::opUnit));
    rect.Top = box.Bottom + bevel_outer_->Spacing();
  }
  if (options_.Contains(TGxVMeterOption::opBevelInner)) BevelPaint(*bevel_inner_, painter, rect);
  dynamic_area_ = rect;

  const int tick = scale.TickLength();
  TRect scale_area = rect;
  scale_area.Top += tick / 2;
  scale_area.Bottom -= tick / 2 + 1;
  too_small_ = scale_area.Width() < 2 || scale_area.Height() < 2;
  if (too_small_) return;

  const int d = tick / 2;
  const int e = (width() - scale.ScaleWidth() - d) / 2;
  TRect scale_rect = scale_area;
  const bool left_top = scale.PosLeftTop();
  if (!left_top) {
    scale_rect.Left = e + d;
    scale_rect.Right = e + d + scale.ScaleWidth();
    lane_.Left = e;
  } else {
    scale_rect.Left = e;
    scale_rect.Right = e + scale.ScaleWidth();
    lane_.Left = scale.ScaleWidth() + e - d;
  }
  lane_.Right = lane_.Left + tick;
  lane_.Top = scale_area.Top - tick / 2;
  lane_.Bottom = scale_area.Bottom + tick / 2;

  if (options_.Contains(TGxVMeterOption::opSector)) {
    const TSectorSettings& sectors = *SectorSettings();
    const double k = (scale_area.Bottom - scale_area.Top) / 1000.0;
    const int base = left_top ? scale_rect.Right : scale_rect.Left;
    const int strip = scale.MinorTickLength();
    const int strip_left = left_top ? base - strip : base;
    for (int n = 0; n < 3; ++n) {
      const int from = sectors.FromOf(n);
      const int to = sectors.ToOf(n);
      if (!(to - from > 0 && to > 0 && from < 1000)) continue;
      const int bottom = scale_area.Bottom - RoundInt(std::max(0, from) * k) + 1;
      const int top = scale_area.Bottom - RoundInt(std::min(1000, to) * k);
      painter.fillRect(QRect(strip_left, top, strip, bottom - top), ToQColor(sectors.ColorOf(n)));
    }
  }
  scale.DrawStraight(painter, scale_rect);
}

void TGxVMeter::PaintFinished() {
  if (too_small_) return;
  if (BackgroundStale()) {
    background_ = Surface().copy(dynamic_area_.ToQRect());
    markers_.Forget();
    ClearBackgroundStale();
  }
  // The alarm was not evaluated while there was no room, and options may have changed.
  EvaluateAlarm(OverflowHigh() || OverflowLow());
  ValueChanged();
}

void TGxVMeter::EvaluateAlarm(bool out_of_scale) {
  if (too_small_) return;
  const bool alarm = (options_.Contains(TGxVMeterOption::opOverflow) && out_of_scale) ||
                     (options_.Contains(TGxVMeterOption::opLimit) && (Upper() || Lower()));
  const bool was = alarm_;
  alarm_ = alarm;
  if (alarm) {
    BlinkStart(this, 4);
  } else {
    BlinkStop(this);
    // Leaving the alarm shows the pointer in its own colour at once.
    if (was && Visible()) DrawPointer();
  }
}

int TGxVMeter::RowOf(int ppt) const {
  const TScaleSettings& scale = *scale_settings_;
  const int yb = scale.ScaleBottom() - dynamic_area_.Top;
  const double k = (scale.ScaleBottom() - scale.ScaleTop()) / 1000.0;
  return yb - RoundInt(ppt * k);
}

TGxVMeter::Shapes TGxVMeter::BuildShapes() const {
  const int a = scale_settings_->TickLength() / 2;
  const int t = scale_settings_->TickLength();
  const int y = RowOf(std::clamp(PPT(), 0, 1000));
  const int y_min = RowOf(MinPPT());
  const int y_max = RowOf(MaxPPT());
  Shapes s;
  if (!scale_settings_->PosLeftTop()) {
    const int l = lane_.Left - dynamic_area_.Left;
    s.pointer << QPoint(l, y - a) << QPoint(l, y + a) << QPoint(l + t, y);
    s.min_marker << QPoint(l + t - 4, y_min) << QPoint(l + 2 * t - 4, y_min + a)
                 << QPoint(l + 2 * t - 4, y_min);
    s.max_marker << QPoint(l + t - 4, y_max) << QPoint(l + 2 * t - 4, y_max - a)
                 << QPoint(l + 2 * t - 4, y_max);
  } else {
    const int r = lane_.Right - 1 - dynamic_area_.Left;
    s.pointer << QPoint(r, y + a) << QPoint(r, y - a) << QPoint(r - t, y);
    s.min_marker << QPoint(r - 2 * t + 4, y_min) << QPoint(r - 2 * t + 4, y_min + a)
                 << QPoint(r - t + 4, y_min);
    s.max_marker << QPoint(r - 2 * t + 4, y_max) << QPoint(r - 2 * t + 4, y_max - a)
                 << QPoint(r - t + 4, y_max);
  }
  return s;
}

int TGxVMeter::PointerRow() const {
  return RowOf(std::clamp(PPT(), 0, 1000)) + dynamic_area_.Top;
}

QPolygon TGxVMeter::PointerTriangle() const {
  return BuildShapes().pointer.translated(dynamic_area_.Left, dynamic_area_.Top);
}

TColor TGxVMeter::MarkerColor(int ppt, TColor own) const {
  if (MinMax()->UseSectorCol()) {
    if (const auto color = SectorSettings()->SectorColorAt(ppt)) return *color;
  }
  return own;
}

void TGxVMeter::ValueChanged() {
  TGxAnalogGControl::ValueChanged();
  if (too_small_ || !Visible() || background_.width() <= 1) return;
  if (options_.Contains(TGxVMeterOption::opValue)) {
    const QImage text = box_.RenderText(ValueText(), *font_value_, bevel_value_->Color());
    if (!text.isNull()) PutImage(text, QPoint(box_.TextArea().Left, box_.TextArea().Top));
  }
  DrawPointer();
}

void TGxVMeter::DrawPointer() {
  if (too_small_ || background_.width() <= 1) return;
  const Shapes shapes = BuildShapes();
  const TMinMax& minmax = *MinMax();
  // Only the strip of the lane and the markers moves; the rest of the dynamic area stays as
  // the background copy put it.
  const QRect strip = MovingStrip();
  const TColor min_color = MarkerColor(MinPPT(), minmax.MinColor());
  const TColor max_color = MarkerColor(MaxPPT(), minmax.MaxColor());
  if (markers_.NeedsRedraw(
          {MinPPT(), MaxPPT(), minmax.MinVisible(), minmax.MaxVisible(), min_color, max_color})) {
    CopyImage(background_, strip, markers_.Image());
    QPainter painter(&markers_.Image());
    painter.translate(-strip.left(), -strip.top());
    painter.setPen(Qt::black);
    if (minmax.MinVisible()) {
      painter.setBrush(ToQColor(min_color));
      painter.drawPolygon(shapes.min_marker);
    }
    if (minmax.MaxVisible()) {
      painter.setBrush(ToQColor(max_color));
      painter.drawPolygon(shapes.max_marker);
    }
  }
  CopyImage(markers_.Image(), work_);
  QImage& image = work_;
  {
    QPainter painter(&image);
    painter.translate(-strip.left(), -strip.top());
    painter.setPen(Qt::black);
    painter.setBrush(ToQColor(alarm_ ? current_blink_color_ : scale_settings_->PointerColor()));
    painter.drawPolygon(shapes.pointer);
  }
  PutImage(image, QPoint(dynamic_area_.Left + strip.left(), dynamic_area_.Top + strip.top()));
}

QRect TGxVMeter::MovingStrip() const {
  const int t = scale_settings_->TickLength();
  int left;
  int right;  // inclusive
  if (!scale_settings_->PosLeftTop()) {
    left = lane_.Left - dynamic_area_.Left;
    right = left + 2 * t;
  } else {
    right = lane_.Right - 1 - dynamic_area_.Left;
    left = right - 2 * t;
  }
  // One pixel of margin for the outlines.
  return QRect(QPoint(left - 1, 0), QPoint(right + 1, background_.height() - 1))
      .intersected(background_.rect());
}

void TGxVMeter::BlinkMessage(std::uint32_t, int state) {
  if (!Visible() || too_small_ || !options_.Contains(TGxVMeterOption::opOverflow)) return;
  if (background_.width() <= 1) return;  // not laid out yet
  current_blink_color_ = state != 0 ? kBlinkColor1 : kBlinkColor2;
  // Only the pointer triangle, straight onto the control's surface.
  const QPolygon pointer = PointerTriangle();
  {
    QPainter painter(&MutableSurface());
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ToQColor(current_blink_color_));
    painter.drawPolygon(pointer);
  }
  update(pointer.boundingRect().adjusted(-1, -1, 1, 1));
}

}  // namespace m797::gauges
