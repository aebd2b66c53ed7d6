#include "gauges/instrument.h"

#include <QFontMetrics>
#include <QPainter>

#include "gauges/blink_scheduler.h"

namespace m797::gauges {

TGxInstrument::TGxInstrument(const TKind& kind, QWidget* parent)
    : TGxAnalogGControl(parent),
      kind_(kind),
      bevel_inner_(std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 5, TBevelLine::blInner, 2)),
      bevel_outer_(std::make_unique<TGxSBevel>(TBevelStyle::bsRaised, 5, TBevelLine::blOuter, 2)),
      scale_settings_(kind.scale ? std::make_unique<TScaleSettings>() : nullptr) {
  // The update lock is held from TGxAnalogGControl's construction until Loaded.
  resize(kind.default_size);
}

void TGxInstrument::Loaded() {
  ConnectToSettingsChanged(*bevel_inner_);
  ConnectToSettingsChanged(*bevel_outer_);
  if (scale_settings_) ConnectToSettingsChanged(*scale_settings_);
  TGxAnalogGControl::Loaded();
}

void TGxInstrument::SettingsChanged() {
  TGxAnalogGControl::SettingsChanged();
  RequestRepaint();
}

void TGxInstrument::LogScaleChanged() {
  if (scale_settings_) scale_settings_->SetLogScale(LogScale());
  TGxAnalogGControl::LogScaleChanged();
  RequestRepaint();
}

void TGxInstrument::ValueChanged() {
  TGxAnalogGControl::ValueChanged();
  if (!too_small_ && Visible()) DrawMovingParts();
}

// Entering the alarm starts the flashing, leaving it stops it.  Every evaluation runs inside a
// value pass or at the end of a full repaint, and both redraw the moving parts right after it,
// so a pointer that leaves the alarm shows its own colour at once.
void TGxInstrument::EvaluateAlarm(bool out_of_scale) {
  if (!kind_.alarm || (kind_.alarm_needs_room && too_small_)) return;
  alarm_ = (AlarmOnOverflow() && out_of_scale) || (AlarmOnLimit() && (Upper() || Lower()));
  if (alarm_)
    BlinkStart(this, 4);
  else
    BlinkStop(this);
}

void TGxInstrument::BlinkMessage(std::uint32_t, int state) {
  if (!Visible() || too_small_ || !AcceptsBlink()) return;
  current_blink_color_ = state != 0 ? kBlinkColor1 : kBlinkColor2;
  ShowBlink();
}

TRect TGxInstrument::PaintFrame(QPainter& painter) {
  const TParts parts = Parts();
  TRect rect{0, 0, width(), height()};
  int s = 0;
  if (parts.bevel_outer) {
    BevelPaint(*bevel_outer_, painter, rect);
    s = bevel_outer_->Spacing() / 2;
  }
  // Name2 at the bottom, Name1 above it, each centred and moving the bottom up.
  const TSignalSettings& signal = *SignalSettings();
  const QFont font = Font()->ToQFont();
  painter.save();
  painter.setFont(font);
  painter.setPen(ToQColor(Font()->Color()));
  painter.setBrush(Qt::NoBrush);
  const int centre_x = (rect.Left + rect.Right) / 2;
  const int height = QFontMetrics(font).height();
  for (const auto& [name, shown] :
       {std::pair(&signal.Name2(), parts.name2), std::pair(&signal.Name1(), parts.name1)}) {
    if (!shown) continue;
    rect.Bottom -= height;
    DrawAlignedText(painter, centre_x, s + rect.Bottom, 1, *name);
  }
  painter.restore();
  return rect;
}

void TGxInstrument::AddCaptionSizes(int outer, int& w, int& h) const {
  const TParts parts = Parts();
  const TSignalSettings& signal = *SignalSettings();
  for (const auto& [name, shown] :
       {std::pair(&signal.Name1(), parts.name1), std::pair(&signal.Name2(), parts.name2)}) {
    if (!shown) continue;
    const QSize size = MeasureText(*Font(), *name);
    h += size.height();
    w = std::max(w, outer + size.width());
  }
}

TGxInstrument::TBevelWidths TGxInstrument::BevelWidths() const {
  const TParts parts = Parts();
  return {parts.bevel_outer ? 2 * bevel_outer_->TotalWidth() : 0,
          parts.bevel_inner ? 2 * bevel_inner_->TotalWidth() : 0};
}

QRect TGxInstrument::MovingStrip() const {
  return QRect(QPoint(0, 0), MovingArea().size());
}

void TGxInstrument::DrawMovingParts() {
  TOffscreenImages& images = Images();
  if (too_small_ || !images.Captured()) return;
  const TMinMax& minmax = *MinMax();
  const TMarkerState markers{MinPPT(),
                             MaxPPT(),
                             minmax.MinVisible(),
                             minmax.MaxVisible(),
                             MarkerColor(MinPPT(), minmax.MinColor()),
                             MarkerColor(MaxPPT(), minmax.MaxColor())};
  const TPointerState pointer = PointerState();
  if (drawn_ && drawn_->first == markers && drawn_->second == pointer) return;
  const QRect strip = MovingStrip();
  if (!drawn_ || drawn_->first != markers) {
    QPainter painter(&images.NewMarkerLayer(strip));
    painter.translate(-strip.topLeft());
    PaintMarkers(painter, markers);
  }
  {
    QPainter painter(&images.NewWork());
    painter.translate(-strip.topLeft());
    PaintPointer(painter, pointer);
  }
  drawn_.emplace(markers, pointer);
  update(images.PutWork());
}

void TGxInstrument::PaintFinished() {
  TOffscreenImages& images = Images();
  const QRect area = MovingArea();
  if (area.isEmpty()) too_small_ = true;
  if (too_small_) {
    images.Release();
    return;
  }
  if (BackgroundStale() || !images.Captured()) {
    images.Capture(area);
    ClearBackgroundStale();
  }
  drawn_.reset();  // the surface was painted afresh
  // The alarm was not evaluated while there was no room, and options may have changed.
  EvaluateAlarm(OverflowHigh() || OverflowLow());
  ValueChanged();
}

}  // namespace m797::gauges
