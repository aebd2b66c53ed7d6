#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "gauges/graphic_control.h"
#include "gauges/gx_color.h"
#include "gauges/gx_font.h"
#include "gauges/gx_set.h"
#include "gauges/min_max.h"
#include "gauges/sector_settings.h"
#include "gauges/signal_settings.h"

namespace m797::gauges {

enum class THintOption {
  hoAutoHint,
  hoValue,
  hoName1,
  hoName2,
  hoMin,
  hoMax,
  hoMinMaxDate,
  hoMinMaxTime
};
using THintOptions = TGxSet<THintOption>;

// The value model shared by every instrument.  A value lives in two spaces: the engineering
// Value between SignalSettings.ValueFrom and ValueTo, and the scale position PPT in thousandths
// of the scale (0..1000), reached through the digital reading Digit.  Each changed Value runs
// one value pass: text, position, sectors, limits, overflow, extremes, tooltip, then the
// instrument redraws its moving parts.
//
// Construction holds the update lock: the owner applies the stored properties (Digit before the
// settings objects, Value after them) and then calls Loaded, which connects the settings objects,
// resets the extremes and releases the lock with one settings pass.
class TGxAnalogGControl : public TGxGraphicControl {
  Q_OBJECT

 public:
  using TNotifyEvent = std::function<void(TGxAnalogGControl* sender)>;
  using TOverflowEvent = std::function<void(TGxAnalogGControl* sender, std::int32_t ppt)>;
  using TSectorChangeEvent = std::function<void(TGxAnalogGControl* sender, bool sector1,
                                                bool sector2, bool sector3, bool enter)>;
  using TLimitEvent = std::function<void(TGxAnalogGControl* sender, bool lower, bool upper)>;

  static constexpr TColor kBlinkColor1 = clRed;
  static constexpr TColor kBlinkColor2 = clYellow;

  explicit TGxAnalogGControl(QWidget* parent = nullptr);
  ~TGxAnalogGControl() override;

  // The loading-complete step.
  virtual void Loaded();

  // Published properties, in published order.
  std::int32_t Digit() const { return digit_; }
  void SetDigit(std::int32_t digit);
  float LimitUpper() const { return limit_upper_; }
  void SetLimitUpper(float limit);
  float LimitLower() const { return limit_lower_; }
  void SetLimitLower(float limit);  // exactly 0 is stored as 0.0001
  THintOptions HintOptions() const { return hint_options_; }
  void SetHintOptions(THintOptions options);
  TSectorSettings* SectorSettings() const { return sector_settings_.get(); }
  TSignalSettings* SignalSettings() const { return signal_settings_.get(); }
  TMinMax* MinMax() const { return min_max_.get(); }
  float Value() const { return value_; }
  void SetValue(float value);
  bool LogScale() const { return log_scale_; }
  void SetLogScale(bool on);
  TGxFont* Font() const { return font_.get(); }

  const TNotifyEvent& OnMinMaxChange() const { return on_min_max_change_; }
  void SetOnMinMaxChange(TNotifyEvent h) { on_min_max_change_ = std::move(h); }
  const TOverflowEvent& OnOverflow() const { return on_overflow_; }
  void SetOnOverflow(TOverflowEvent h) { on_overflow_ = std::move(h); }
  const TSectorChangeEvent& OnSectorChange() const { return on_sector_change_; }
  void SetOnSectorChange(TSectorChangeEvent h) { on_sector_change_ = std::move(h); }
  const TNotifyEvent& OnSettingsChange() const { return on_settings_change_; }
  void SetOnSettingsChange(TNotifyEvent h) { on_settings_change_ = std::move(h); }
  const TNotifyEvent& OnValueChange() const { return on_value_change_; }
  void SetOnValueChange(TNotifyEvent h) { on_value_change_ = std::move(h); }
  const TLimitEvent& OnLimit() const { return on_limit_; }
  void SetOnLimit(TLimitEvent h) { on_limit_ = std::move(h); }

  // Internal state, read by the instruments and by tests.
  std::int32_t PPT() const { return ppt_; }
  std::int32_t MinPPT() const { return min_ppt_; }
  std::int32_t MaxPPT() const { return max_ppt_; }
  bool Upper() const { return upper_; }
  bool Lower() const { return lower_; }
  bool OverflowHigh() const { return overflow_high_; }
  bool OverflowLow() const { return overflow_low_; }
  bool Sector1() const { return sector_[0]; }
  bool Sector2() const { return sector_[1]; }
  bool Sector3() const { return sector_[2]; }
  TColor SectorColor() const { return sector_color_; }
  const QString& ValueText() const { return value_text_; }
  double LogDigitsPerDecade() const { return log_digits_per_decade_; }
  double LogOffset() const { return log_offset_; }
  // The tooltip text, lines joined by a carriage return.
  const QString& Hint() const { return hint_; }

 protected:
  // Notification operations, in slot order after NotifyChanged.
  void SettingsChanged() override;
  virtual void ValueChanged();
  virtual void OverflowChanged() {}
  virtual void LimitChanged() {}
  virtual void MinMaxChanged();
  virtual void LogScaleChanged() { NotifyChanged(); }

  // Connects a settings object's change notification to SettingsChanged.
  void ConnectToSettingsChanged(TGxPersistent& settings);

  // The fill of a min or max marker at the position: the colour of the sector there when
  // MinMax.UseSectorCol asks for it and a sector holds the position, else the marker's own.
  TColor MarkerColor(std::int32_t ppt, TColor own) const;

 private:
  void EvaluateLimits();
  std::int32_t LinearDigit(double value) const;
  std::int32_t LogDigit(double value) const;
  struct ExtremeLineCache {
    bool valid = false;
    float extreme = 0.0f;
    QDateTime when;
    bool with_date = false;
    bool with_time = false;
    QString format;
    QString unit;
    QString text;
  };
  void RebuildHint();
  const QString& ExtremeLine(ExtremeLineCache& cache, const QString& label, float extreme,
                             const QDateTime& when) const;

  std::unique_ptr<TGxFont> font_;
  std::unique_ptr<TSectorSettings> sector_settings_;
  std::unique_ptr<TSignalSettings> signal_settings_;
  std::unique_ptr<TMinMax> min_max_;

  std::int32_t digit_ = 500;
  float limit_upper_ = 90.0f;
  float limit_lower_ = 10.0f;
  THintOptions hint_options_ = THintOptions::FromBits(0xFF);
  float value_ = 50.0f;
  bool log_scale_ = false;

  std::int32_t ppt_ = 500;
  std::int32_t min_ppt_ = 0;
  std::int32_t max_ppt_ = 0;
  bool upper_ = true;  // both True so that the first evaluation reports a change
  bool lower_ = true;
  bool overflow_high_ = false;
  bool overflow_low_ = false;
  bool sector_[3] = {false, false, false};
  TColor sector_color_ = clBlack;
  QString value_text_;
  QString hint_;
  mutable ExtremeLineCache min_line_;
  mutable ExtremeLineCache max_line_;
  double log_digits_per_decade_ = 0.0;
  double log_offset_ = 0.0;

  TNotifyEvent on_min_max_change_;
  TOverflowEvent on_overflow_;
  TSectorChangeEvent on_sector_change_;
  TNotifyEvent on_settings_change_;
  TNotifyEvent on_value_change_;
  TLimitEvent on_limit_;
};

}  // namespace m797::gauges
