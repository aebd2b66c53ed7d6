#include "gauges/value_indicator.h"

#include <QPainter>
#include <algorithm>

#include "gauges/blink_scheduler.h"

namespace m797::gauges {

TGxValueInd::TGxValueInd(QWidget* parent)
    : TGxAnalogGControl(parent),
      font_value_(std::make_unique<TGxFont>(QStringLiteral("System"), 10, clLime)),
      bevel_inner_(std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 5, TBevelLine::blInner, 2)),
      bevel_outer_(std::make_unique<TGxSBevel>(TBevelStyle::bsRaised, 5, TBevelLine::blOuter, 2)),
      bevel_value_(
          std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 0, TBevelLine::blNone, 2, clBlack)) {
  resize(67, 48);
}

TGxValueInd::~TGxValueInd() {
  BlinkStop(this);
}

void TGxValueInd::Loaded() {
  ConnectToSettingsChanged(*font_value_);
  ConnectToSettingsChanged(*bevel_inner_);
  ConnectToSettingsChanged(*bevel_outer_);
  ConnectToSettingsChanged(*bevel_value_);
  TGxAnalogGControl::Loaded();
}

void TGxValueInd::SetAutoSize(bool on) {
  if (on == auto_size_) return;
  auto_size_ = on;
  NotifyChanged();
}

void TGxValueInd::SetFontValue(const TGxFont& font) {
  font_value_->Assign(font);
  NotifyChanged();
}

void TGxValueInd::SetOptions(TSerlueIndOptions options) {
  if (options == options_) return;
  options_ = options;
  NotifyChanged();
}

void TGxValueInd::SettingsChanged() {
  TGxAnalogGControl::SettingsChanged();
  if (UpdateLock() == 0) Invalidate();
}

void TGxValueInd::CalculateSize() {
  const TSignalSettings& signal = *SignalSettings();
  const bool show_unit = options_.Contains(TValueIndOption::opUnit);
  box_.Measure(*font_value_, signal.FormatTemplate(), signal.ValueUnit(), show_unit);
  const int outer =
      options_.Contains(TValueIndOption::opBevelOuter) ? 2 * bevel_outer_->TotalWidth() : 0;
  const int inner =
      options_.Contains(TValueIndOption::opBevelInner) ? 2 * bevel_inner_->TotalWidth() : 0;
  int h = outer;
  int w = outer;
  AddCaptionSizes(*Font(), signal.Name1(), options_.Contains(TValueIndOption::opName1),
                  signal.Name2(), options_.Contains(TValueIndOption::opName2), outer, w, h);
  if (inner > 0) {
    h += inner;
    w = std::max(w, inner + outer);
  }
  const int b = outer + inner;
  const int value_bevel = 2 * bevel_value_->TotalWidth();
  h += box_.TextHeight() + value_bevel;
  w = std::max(w, b + box_.TextWidth() + box_.UnitWidth() + value_bevel + box_.TextHeight());
  const QSize wanted = auto_size_ ? QSize(w, h) : size().expandedTo(QSize(w, h));
  if (size() != wanted) resize(wanted);
}

void TGxValueInd::PaintStatic(QPainter& painter) {
  const TSignalSettings& signal = *SignalSettings();
  TRect rect{0, 0, width(), height()};
  int s = 0;
  if (options_.Contains(TValueIndOption::opBevelOuter)) {
    BevelPaint(*bevel_outer_, painter, rect);
    s = bevel_outer_->Spacing() / 2;
  }
  DrawCaptions(painter, rect, *Font(), signal.Name1(), options_.Contains(TValueIndOption::opName1),
               signal.Name2(), options_.Contains(TValueIndOption::opName2), s);
  if (options_.Contains(TValueIndOption::opBevelInner)) BevelPaint(*bevel_inner_, painter, rect);
  box_.Paint(painter, rect, *bevel_value_, *font_value_, Font()->Color(), signal.ValueUnit(),
             options_.Contains(TValueIndOption::opUnit));
  too_small_ = box_.TextArea().Width() < 1 || box_.TextArea().Height() < 1;
}

void TGxValueInd::PaintFinished() {
  ValueChanged();
}

void TGxValueInd::ValueChanged() {
  TGxAnalogGControl::ValueChanged();
  if (too_small_ || !Visible()) return;
  const QImage text = box_.RenderText(ValueText(), *font_value_, bevel_value_->Color());
  if (!text.isNull()) PutImage(text, QPoint(box_.TextArea().Left, box_.TextArea().Top));
}

}  // namespace m797::gauges
