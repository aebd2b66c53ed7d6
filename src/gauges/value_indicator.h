#pragma once

#include <memory>

#include "gauges/analog_control.h"
#include "gauges/bevel.h"
#include "gauges/gx_font.h"
#include "gauges/gx_set.h"
#include "gauges/value_box.h"

namespace m797::gauges {

enum class TValueIndOption { opBevelInner, opBevelOuter, opName1, opName2, opUnit };
using TSerlueIndOptions = TGxSet<TValueIndOption>;

// A bare numeric readout in a framed box.  With AutoSize it sizes itself to its box, unit,
// captions and bevels; a value pass redraws only the value text.
class TGxValueInd : public TGxAnalogGControl {
  Q_OBJECT

 public:
  explicit TGxValueInd(QWidget* parent = nullptr);
  ~TGxValueInd() override;

  void Loaded() override;

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on);
  TGxFont* FontValue() const { return font_value_.get(); }
  void SetFontValue(const TGxFont& font);
  TGxSBevel* BevelInner() const { return bevel_inner_.get(); }
  TGxSBevel* BevelOuter() const { return bevel_outer_.get(); }
  TGxSBevel* BevelValue() const { return bevel_value_.get(); }
  TSerlueIndOptions Options() const { return options_; }
  void SetOptions(TSerlueIndOptions options);

  bool TooSmall() const { return too_small_; }
  // The value text area in control coordinates (valid after a full repaint).
  QRect TextArea() const { return box_.TextArea().ToQRect(); }

 protected:
  void SettingsChanged() override;
  void ValueChanged() override;
  void CalculateSize() override;
  void PaintStatic(QPainter& painter) override;
  void PaintFinished() override;

 private:
  bool auto_size_ = true;
  std::unique_ptr<TGxFont> font_value_;
  std::unique_ptr<TGxSBevel> bevel_inner_;
  std::unique_ptr<TGxSBevel> bevel_outer_;
  std::unique_ptr<TGxSBevel> bevel_value_;
  TSerlueIndOptions options_{TValueIndOption::opName1, TValueIndOption::opName2,
                             TValueIndOption::opUnit};
  TGxValueBox box_;
  bool too_small_ = true;  // until the first full repaint lays the box out
};

}  // namespace m797::gauges
