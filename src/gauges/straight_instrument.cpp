#include "gauges/straight_instrument.h"

#include <algorithm>

namespace m797::gauges {

TGxStraightInstrument::TGxStraightInstrument(const TKind& kind, TColor value_color,
                                             TColor box_color, QWidget* parent)
    : TGxInstrument(kind, parent),
      font_value_(std::make_unique<TGxFont>(QStringLiteral("System"), 10, value_color)),
      bevel_value_(std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 0, TBevelLine::blNone, 2,
                                               box_color)) {}

void TGxStraightInstrument::Loaded() {
  ConnectToSettingsChanged(*font_value_);
  ConnectToSettingsChanged(*bevel_value_);
  TGxInstrument::Loaded();
}

void TGxStraightInstrument::ValueChanged() {
  TGxInstrument::ValueChanged();
  if (TooSmall() || !Visible() || !Parts().value) return;
  const QImage text =
      box_.RenderText(ValueText(), *font_value_, bevel_value_->Color(), Images().Ratio());
  if (!text.isNull()) PutImage(text, QPoint(box_.TextArea().Left, box_.TextArea().Top));
}

const TGxValueBox& TGxStraightInstrument::MeasureScaleAndBox() {
  const TSignalSettings& signal = *SignalSettings();
  if (ScaleSettings())
    scale_measured_ = ScaleSettings()->PrepareStraight(signal.ValueFrom(), signal.ValueTo());
  box_.Measure(*font_value_, signal.FormatTemplate(), signal.ValueUnit(), Parts().unit);
  return box_;
}

TRect TGxStraightInstrument::PaintValueBox(QPainter& painter, const TRect& rect) {
  return box_.Paint(painter, rect, *bevel_value_, *font_value_, Font()->Color(),
                    SignalSettings()->ValueUnit(), Parts().unit);
}

void TGxStraightInstrument::AddValueBoxSize(int extra_height, int inside, int margin, int& w,
                                            int& h) const {
  const int value_bevel = 2 * bevel_value_->TotalWidth();
  h += box_.TextHeight() + value_bevel + extra_height;
  w = std::max(w, inside + box_.TextWidth() + box_.UnitWidth() + value_bevel + margin);
}

}  // namespace m797::gauges
