#pragma once

#include <QImage>
#include <memory>

#include "gauges/analog_control.h"
#include "gauges/bar_settings.h"
#include "gauges/bevel.h"
#include "gauges/gx_font.h"
#include "gauges/gx_set.h"
#include "gauges/marker_layer.h"
#include "gauges/scale_settings.h"
#include "gauges/value_box.h"

namespace m797::gauges {

enum class TThMetOption { opBevelInner, opBevelOuter, opValue, opName1, opName2, opUnit };
using TThMetOptions = TGxSet<TThMetOption>;

// A coloured column between two straight scales, with min/max markers beside it and an
// optional value box on top.  It shows no alarm: a value off the scale fills the column to the
// clamped end.
class TGxThermometer : public TGxAnalogGControl {
  Q_OBJECT

 public:
  explicit TGxThermometer(QWidget* parent = nullptr);
  ~TGxThermometer() override;

  void Loaded() override;

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on);
  TGxFont* FontValue() const { return font_value_.get(); }
  void SetFontValue(const TGxFont& font) { font_value_->Assign(font); }
  TGxSBevel* BevelInner() const { return bevel_inner_.get(); }
  TGxSBevel* BevelOuter() const { return bevel_outer_.get(); }
  TGxSBevel* BevelValue() const { return bevel_value_.get(); }
  TThMetOptions Options() const { return options_; }
  void SetOptions(TThMetOptions options);
  TScaleSettings* ScaleSettings() const { return scale_settings_.get(); }
  TBarSettings* BarSettings() const { return bar_settings_.get(); }
  std::int32_t ScaleSpacing() const { return scale_spacing_; }
  void SetScaleSpacing(std::int32_t spacing);

  bool TooSmall() const { return too_small_; }
  // The column proper in control coordinates (valid after a full repaint).
  QRect Column() const;
  QRect ValueTextArea() const { return box_.TextArea().ToQRect(); }

 protected:
  void SettingsChanged() override;
  void ValueChanged() override;
  void LogScaleChanged() override;
  void CalculateSize() override;
  void PaintStatic(QPainter& painter) override;
  void PaintFinished() override;

 private:
  void RequestRepaint();
  TColor MarkerColor(int ppt, TColor own) const;

  bool auto_size_ = true;
  std::unique_ptr<TGxFont> font_value_;
  std::unique_ptr<TGxSBevel> bevel_inner_;
  std::unique_ptr<TGxSBevel> bevel_outer_;
  std::unique_ptr<TGxSBevel> bevel_value_;
  TThMetOptions options_{TThMetOption::opValue, TThMetOption::opName1, TThMetOption::opName2,
                         TThMetOption::opUnit};
  std::unique_ptr<TScaleSettings> scale_settings_;
  std::unique_ptr<TBarSettings> bar_settings_;
  std::int32_t scale_spacing_ = 2;

  TGxValueBox box_;
  bool too_small_ = false;
  TRect dynamic_area_;
  TRect column_;  // background-copy coordinates, minWidth wide
  QImage background_;
  TMarkerLayer markers_;
  QImage work_;  // the background with the moving parts, reused from pass to pass
};

}  // namespace m797::gauges
