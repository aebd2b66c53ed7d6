#pragma once

#include <QPolygon>
#include <algorithm>

#include "gauges/gx_set.h"
#include "gauges/straight_instrument.h"

namespace m797::gauges {

enum class TGxVMeterOption {
  opBevelInner,
  opBevelOuter,
  opValue,
  opName1,
  opName2,
  opOverflow,
  opLimit,
  opSector,
  opUnit
};
using TGxVMeterOptions = TGxSet<TGxVMeterOption>;

// A vertical scale with a triangular pointer moving in a lane beside it, a sector strip along
// the base line and an optional value box on top.  The dynamic area (lane and scale) is kept as
// a background copy; a value pass redraws the pointer and the min/max markers from it.  With
// opOverflow the pointer flashes while the value is off the scale (and with opLimit while it is
// beyond a limit).
class TGxVMeter : public TGxStraightInstrument {
  Q_OBJECT

 public:
  explicit TGxVMeter(QWidget* parent = nullptr);

  using TGxInstrument::ScaleSettings;
  TGxVMeterOptions Options() const { return options_; }
  void SetOptions(TGxVMeterOptions options) { StoreOption(options_, options); }

  QRect DynamicArea() const { return dynamic_area_.ToQRect(); }
  // The pointer's row and its triangle in control coordinates (valid after a repaint).
  int PointerRow() const { return scale_.map.Row(std::clamp(PPT(), 0, 1000)); }
  QPolygon PointerTriangle() const;
  // The lane of the pointer in control coordinates.
  QRect Lane() const { return lane_.ToQRect(); }

 protected:
  TParts Parts() const override {
    return PartsOf(options_, options_.Contains(TGxVMeterOption::opValue));
  }
  bool AlarmOnOverflow() const override { return options_.Contains(TGxVMeterOption::opOverflow); }
  bool AlarmOnLimit() const override { return options_.Contains(TGxVMeterOption::opLimit); }
  // Only with opOverflow; the pointer triangle alone, filled straight onto the surface.
  bool AcceptsBlink() const override;
  void ShowBlink() override;

  void CalculateSize() override;
  void PaintStatic(QPainter& painter) override;

  QRect MovingArea() const override { return DynamicArea(); }
  QRect MovingStrip() const override;
  TPointerState PointerState() const override;
  void PaintMarkers(QPainter& painter, const TMarkerState& markers) const override;
  void PaintPointer(QPainter& painter, const TPointerState& pointer) const override;

 private:
  // A triangle in background coordinates: the pointer at a position, or a marker (pointing
  // up for the maximum, down for the minimum).
  QPolygon Pointer(int ppt) const;
  QPolygon Marker(int ppt, bool max) const;

  TGxVMeterOptions options_ = TGxVMeterOptions::FromBits(0x1FF);
  TRect dynamic_area_;
  TRect lane_;  // control coordinates
};

}  // namespace m797::gauges
