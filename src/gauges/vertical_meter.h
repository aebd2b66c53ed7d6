#pragma once

#include <QImage>
#include <QPolygon>
#include <memory>
#include <optional>

#include "gauges/analog_control.h"
#include "gauges/bevel.h"
#include "gauges/gx_font.h"
#include "gauges/gx_set.h"
#include "gauges/marker_layer.h"
#include "gauges/scale_settings.h"
#include "gauges/value_box.h"

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
class TGxVMeter : public TGxAnalogGControl {
  Q_OBJECT

 public:
  explicit TGxVMeter(QWidget* parent = nullptr);
  ~TGxVMeter() override;

  void Loaded() override;

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on);
  TGxFont* FontValue() const { return font_value_.get(); }
  void SetFontValue(const TGxFont& font) { font_value_->Assign(font); }
  TGxSBevel* BevelInner() const { return bevel_inner_.get(); }
  TGxSBevel* BevelOuter() const { return bevel_outer_.get(); }
  TGxSBevel* BevelValue() const { return bevel_value_.get(); }
  TGxVMeterOptions Options() const { return options_; }
  void SetOptions(TGxVMeterOptions options);
  TScaleSettings* ScaleSettings() const { return scale_settings_.get(); }

  bool TooSmall() const { return too_small_; }
  bool Alarm() const { return alarm_; }
  TColor CurrentBlinkColor() const { return current_blink_color_; }
  QRect DynamicArea() const { return dynamic_area_.ToQRect(); }
  QRect ValueTextArea() const { return box_.TextArea().ToQRect(); }
  // The pointer's row and its triangle in control coordinates (valid after a repaint).
  int PointerRow() const;
  QPolygon PointerTriangle() const;
  // The lane of the pointer in control coordinates.
  QRect Lane() const { return lane_.ToQRect(); }

  void BlinkMessage(std::uint32_t counter, int state) override;

 protected:
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
  struct Shapes {
    QPolygon pointer;
    QPolygon min_marker;
    QPolygon max_marker;
  };

  void RequestRepaint();
  void EvaluateAlarm(bool out_of_scale);
  // The pointer and marker triangles in background-copy coordinates.
  Shapes BuildShapes() const;
  int RowOf(int ppt) const;
  // The columns of the background copy that the pointer and the markers can touch.
  QRect MovingStrip() const;
  void DrawPointer();
  TColor MarkerColor(int ppt, TColor own) const;

  bool auto_size_ = true;
  std::unique_ptr<TGxFont> font_value_;
  std::unique_ptr<TGxSBevel> bevel_inner_;
  std::unique_ptr<TGxSBevel> bevel_outer_;
  std::unique_ptr<TGxSBevel> bevel_value_;
  TGxVMeterOptions options_ = TGxVMeterOptions::FromBits(0x1FF);
  std::unique_ptr<TScaleSettings> scale_settings_;

  TGxValueBox box_;
  bool too_small_ = false;
  TRect dynamic_area_;
  TRect lane_;  // control coordinates
  QImage background_;
  TMarkerLayer markers_;
  QImage work_;  // the background with the moving parts, reused from pass to pass
  bool alarm_ = false;
  TColor current_blink_color_ = kBlinkColor1;
};

}  // namespace m797::gauges
