#pragma once

#include <QPolygon>
#include <QRect>
#include <QSize>
#include <memory>

#include "gauges/arrow_settings.h"
#include "gauges/gx_font.h"
#include "gauges/gx_set.h"
#include "gauges/instrument.h"

namespace m797::gauges {

enum class TRMeterOption {
  opBevelInner,
  opBevelOuter,
  opName1,
  opName2,
  opOverflow,
  opLimit,
  opSector,
  opUnit
};
using TRMeterOptions = TGxSet<TRMeterOption>;

// The fixed geometry of a round meter class.
struct TRoundGeometry {
  double start;   // degrees clockwise from straight up
  double sweep;   // degrees
  double aspect;  // width to height of the dial area
  bool widened;   // the arc layout: the dial area is widened by a tenth before the scale
  QSize default_size;
};

// A dial with a rotating pointer.  A full repaint draws bevels, captions, scale, sector ring and
// unit, captures the pointer area as a background copy and builds the pointer and marker shapes;
// each value pass then redraws only the pointer area from that copy.  While the value is out of
// the scale (opOverflow) or beyond a limit (opLimit) the pointer flashes red and yellow through
// the blink scheduler.
class TGxRMeter : public TGxInstrument {
  Q_OBJECT

 public:
  // A bare meter takes the half-circle geometry.
  explicit TGxRMeter(QWidget* parent = nullptr);

  void Loaded() override;

  using TGxInstrument::ScaleSettings;
  TArrowSettings* ArrowSettings() const { return arrow_settings_.get(); }
  TGxFont* FontUnit() const { return font_unit_.get(); }
  void SetFontUnit(const TGxFont& font) { font_unit_->Assign(font); }
  TRMeterOptions Options() const { return options_; }
  void SetOptions(TRMeterOptions options) { StoreOption(options_, options); }

  const TRoundGeometry& Geometry() const { return geometry_; }

  // The pointer area and the pivot of the pointer in control coordinates.
  QRect PointerArea() const { return pointer_area_.ToQRect(); }
  QPoint Pivot() const;
  // The angle (degrees clockwise from straight up) at which a scale position lies.
  double AngleOf(int ppt) const { return scale_.map.At(ppt); }

 protected:
  TGxRMeter(const TRoundGeometry& geometry, QWidget* parent);

  TParts Parts() const override { return PartsOf(options_, false); }
  bool AlarmOnOverflow() const override { return options_.Contains(TRMeterOption::opOverflow); }
  bool AlarmOnLimit() const override { return options_.Contains(TRMeterOption::opLimit); }

  void CalculateSize() override;
  void PaintStatic(QPainter& painter) override;

  QRect MovingArea() const override { return PointerArea(); }
  TPointerState PointerState() const override;
  void PaintMarkers(QPainter& painter, const TMarkerState& markers) const override;
  void PaintPointer(QPainter& painter, const TPointerState& pointer) const override;

 private:
  void DrawSectors(QPainter& painter, const TRect& s);

  TRoundGeometry geometry_;
  std::unique_ptr<TArrowSettings> arrow_settings_;
  std::unique_ptr<TGxFont> font_unit_;
  TRMeterOptions options_ = TRMeterOptions::FromBits(0xFF);

  TRect pointer_area_;
  QPoint pivot_;  // in pointer-area coordinates
  TPointerShape pointer_;
  QPolygon min_marker_;
  QPolygon max_marker_;
};

// Half-circle dial: from pointing left over straight up to pointing right.
class TGx180Meter : public TGxRMeter {
  Q_OBJECT

 public:
  static constexpr TRoundGeometry kGeometry{270.0, 180.0, 2.0, false, QSize(252, 174)};
  explicit TGx180Meter(QWidget* parent = nullptr);
};

// 120-degree arc: from 60 degrees left of vertical to 60 degrees right of it.
class TGx120Meter : public TGxRMeter {
  Q_OBJECT

 public:
  static constexpr TRoundGeometry kGeometry{300.0, 120.0, 2.5, true, QSize(252, 155)};
  explicit TGx120Meter(QWidget* parent = nullptr);
};

}  // namespace m797::gauges
