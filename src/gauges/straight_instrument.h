#pragma once

#include <QRect>
#include <memory>

#include "gauges/gx_font.h"
#include "gauges/instrument.h"
#include "gauges/value_box.h"

namespace m797::gauges {

// The common base of the straight-line instruments (vertical meter, thermometer, value
// indicator): the instrument with the framed value box and its font.
class TGxStraightInstrument : public TGxInstrument {
  Q_OBJECT

 public:
  void Loaded() override;

  TGxFont* FontValue() const { return font_value_.get(); }
  void SetFontValue(const TGxFont& font) { font_value_->Assign(font); }
  TGxSBevel* BevelValue() const { return bevel_value_.get(); }
  // The value text area in control coordinates (valid after a full repaint).
  QRect ValueTextArea() const { return box_.TextArea().ToQRect(); }

 protected:
  TGxStraightInstrument(const TKind& kind, TColor value_color, TColor box_color, QWidget* parent);

  // Also draws the value text when the value box is shown.
  void ValueChanged() override;

  // The size calculation's measures: the scale (of the instruments that have one) for the signal
  // range, and the value box on the value format's pattern and the unit.
  const TGxValueBox& MeasureScaleAndBox();
  // Paints the value box at the top of rect; returns its outer rectangle.
  TRect PaintValueBox(QPainter& painter, const TRect& rect);
  // The extra height and the least width that the value box asks for: h + 2 × BevelValue's
  // TotalWidth + `extra_height`, and `inside` + w + u + 2 × that TotalWidth + `margin`.
  void AddValueBoxSize(int extra_height, int inside, int margin, int& w, int& h) const;

 private:
  std::unique_ptr<TGxFont> font_value_;
  std::unique_ptr<TGxSBevel> bevel_value_;
  TGxValueBox box_;
};

}  // namespace m797::gauges
