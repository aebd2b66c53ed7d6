#pragma once

#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <memory>
#include <optional>

#include "gauges/analog_control.h"
#include "gauges/arrow_settings.h"
#include "gauges/bevel.h"
#include "gauges/draw_helpers.h"
#include "gauges/gx_font.h"
#include "gauges/gx_set.h"
#include "gauges/scale_settings.h"

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
class TGxRMeter : public TGxAnalogGControl {
  Q_OBJECT

 public:
  // A bare meter takes the half-circle geometry.
  explicit TGxRMeter(QWidget* parent = nullptr);
  ~TGxRMeter() override;

  void Loaded() override;

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on);
  TArrowSettings* ArrowSettings() const { return arrow_settings_.get(); }
  TGxFont* FontUnit() const { return font_unit_.get(); }
  void SetFontUnit(const TGxFont& font) { font_unit_->Assign(font); }
  TGxSBevel* BevelInner() const { return bevel_inner_.get(); }
  TGxSBevel* BevelOuter() const { return bevel_outer_.get(); }
  TRMeterOptions Options() const { return options_; }
  void SetOptions(TRMeterOptions options);
  TScaleSettings* ScaleSettings() const { return scale_settings_.get(); }

  const TRoundGeometry& Geometry() const { return geometry_; }

  // Layout and alarm state of the last full repaint, for the owner and for tests.
  bool TooSmall() const { return too_small_; }
  bool Alarm() const { return alarm_; }
  TColor CurrentBlinkColor() const { return current_blink_color_; }
  // The pointer area in control coordinates, and the pivot of the pointer in control coordinates.
  QRect PointerArea() const { return pointer_area_.ToQRect(); }
  QPoint Pivot() const;
  // The angle (degrees clockwise from straight up) at which a scale position lies.
  double AngleOf(int ppt) const { return geometry_.start + ppt * geometry_.sweep / 1000.0; }

  void BlinkMessage(std::uint32_t counter, int state) override;

 protected:
  TGxRMeter(const TRoundGeometry& geometry, QWidget* parent);

  void SettingsChanged() override;
  void ValueChanged() override;
  // During a value pass the position still holds the raw value.
  void OverflowChanged() override { EvaluateAlarm(PPT() < 0 || PPT() > 1000); }
  void LimitChanged() override { EvaluateAlarm(PPT() < 0 || PPT() > 1000); }
  void LogScaleChanged() override;

  void CalculateSize() override;
  void PaintStatic(QPainter& painter) override;
  void PaintFinished() override;

 private:
  struct DrawnPointer {
    int ppt;
    int min_ppt;
    int max_ppt;
    TColor fill;
    bool min_visible;
    bool max_visible;
    bool operator==(const DrawnPointer&) const = default;
  };

  void RequestRepaint();
  void EvaluateAlarm(bool out_of_scale);
  void DrawSectors(QPainter& painter, const TRect& s);
  void DrawPointer();
  TColor MarkerColor(int ppt, TColor own) const;

  TRoundGeometry geometry_;
  bool auto_size_ = true;
  std::unique_ptr<TArrowSettings> arrow_settings_;
  std::unique_ptr<TGxFont> font_unit_;
  std::unique_ptr<TGxSBevel> bevel_inner_;
  std::unique_ptr<TGxSBevel> bevel_outer_;
  TRMeterOptions options_ = TRMeterOptions::FromBits(0xFF);
  std::unique_ptr<TScaleSettings> scale_settings_;

  QSize name1_size_;
  QSize name2_size_;
  QSize unit_size_;
  bool too_small_ = false;
  TRect pointer_area_;
  QImage background_;
  QImage work_;  // the background with the moving parts, reused from pass to pass
  TPointerShape pointer_;
  QPolygon min_marker_;
  QPolygon max_marker_;
  bool alarm_ = false;
  TColor current_blink_color_ = kBlinkColor1;
  std::optional<DrawnPointer> drawn_;
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
