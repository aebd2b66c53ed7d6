#pragma once

#include <memory>

#include "gauges/bar_settings.h"
#include "gauges/gx_set.h"
#include "gauges/straight_instrument.h"

namespace m797::gauges {

enum class TThMetOption { opBevelInner, opBevelOuter, opValue, opName1, opName2, opUnit };
using TThMetOptions = TGxSet<TThMetOption>;

// A coloured column between two straight scales, with min/max markers beside it and an
// optional value box on top.  It shows no alarm: a value off the scale fills the column to the
// clamped end.
class TGxThermometer : public TGxStraightInstrument {
  Q_OBJECT

 public:
  explicit TGxThermometer(QWidget* parent = nullptr);

  void Loaded() override;

  using TGxInstrument::ScaleSettings;
  TThMetOptions Options() const { return options_; }
  void SetOptions(TThMetOptions options) { StoreOption(options_, options); }
  TBarSettings* BarSettings() const { return bar_settings_.get(); }
  std::int32_t ScaleSpacing() const { return scale_spacing_; }
  void SetScaleSpacing(std::int32_t spacing) { StoreOption(scale_spacing_, spacing); }

  // The column proper in control coordinates (valid after a full repaint).
  QRect Column() const;

 protected:
  TParts Parts() const override {
    return PartsOf(options_, options_.Contains(TThMetOption::opValue));
  }
  void SettingsChanged() override;
  void CalculateSize() override;
  void PaintStatic(QPainter& painter) override;

  QRect MovingArea() const override { return dynamic_area_.ToQRect(); }
  QRect MovingStrip() const override;
  TPointerState PointerState() const override;
  void PaintMarkers(QPainter& painter, const TMarkerState& markers) const override;
  void PaintPointer(QPainter& painter, const TPointerState& pointer) const override;

 private:
  TThMetOptions options_{TThMetOption::opValue, TThMetOption::opName1, TThMetOption::opName2,
                         TThMetOption::opUnit};
  std::unique_ptr<TBarSettings> bar_settings_;
  std::int32_t scale_spacing_ = 2;

  TRect dynamic_area_;
  TRect column_;  // background-copy coordinates, minWidth wide
};

}  // namespace m797::gauges
