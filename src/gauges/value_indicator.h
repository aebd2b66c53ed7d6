#pragma once

#include "gauges/gx_set.h"
#include "gauges/straight_instrument.h"

namespace m797::gauges {

enum class TValueIndOption { opBevelInner, opBevelOuter, opName1, opName2, opUnit };
using TSerlueIndOptions = TGxSet<TValueIndOption>;

// A bare numeric readout in a framed box.  With AutoSize it sizes itself to its box, unit,
// captions and bevels; a value pass redraws only the value text.  Its setters ask for a
// settings pass, which ends in a full repaint.
class TGxValueInd : public TGxStraightInstrument {
  Q_OBJECT

 public:
  explicit TGxValueInd(QWidget* parent = nullptr);

  TSerlueIndOptions Options() const { return options_; }
  void SetOptions(TSerlueIndOptions options) { StoreOption(options_, options); }

  // The value text area in control coordinates (valid after a full repaint).
  QRect TextArea() const { return ValueTextArea(); }

 protected:
  TParts Parts() const override { return PartsOf(options_, true); }
  void OptionsChanged() override { NotifyChanged(); }
  void CalculateSize() override;
  void PaintStatic(QPainter& painter) override;
  // The value text, even without room for it: nothing else moves.
  void PaintFinished() override { ValueChanged(); }

 private:
  TSerlueIndOptions options_{TValueIndOption::opName1, TValueIndOption::opName2,
                             TValueIndOption::opUnit};
};

}  // namespace m797::gauges
