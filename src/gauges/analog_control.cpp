#include "gauges/analog_control.h"

#include <QLocale>
#include <cmath>

#include "gauges/gx_math.h"
#include "gauges/value_format.h"

namespace m797::gauges {

TGxAnalogGControl::TGxAnalogGControl(QWidget* parent)
    : TGxGraphicControl(parent),
      font_(std::make_unique<TGxFont>(QStringLiteral("Arial"), 8)),
      sector_settings_(std::make_unique<TSectorSettings>()),
      signal_settings_(std::make_unique<TSignalSettings>()),
      min_max_(std::make_unique<TMinMax>()) {
  InstallFontSubstitutions();
  LockUpdate();
  EvaluateLimits();
}

TGxAnalogGControl::~TGxAnalogGControl() = default;

void TGxAnalogGControl::ConnectToSettingsChanged(TGxPersistent& settings) {
  settings.SetOnChange([this](TGxPersistent*) { SettingsChanged(); });
}

TColor TGxAnalogGControl::MarkerColor(std::int32_t ppt, TColor own) const {
  if (min_max_->UseSectorCol()) {
    if (const auto color = sector_settings_->SectorColorAt(ppt)) return *color;
  }
  return own;
}

void TGxAnalogGControl::Loaded() {
  min_max_->Reset();
  ConnectToSettingsChanged(*font_);
  ConnectToSettingsChanged(*signal_settings_);
  ConnectToSettingsChanged(*sector_settings_);
  min_max_->SetOnChange([this](TGxPersistent*) { MinMaxChanged(); });
  UnlockUpdate();
}

std::int32_t TGxAnalogGControl::LinearDigit(double value) const {
  const TSignalSettings& s = *signal_settings_;
  return RoundInt((value - s.ValueFrom()) * s.DigitsPerValue() + s.DigitalFrom());
}

std::int32_t TGxAnalogGControl::LogDigit(double value) const {
  const TSignalSettings& s = *signal_settings_;
  const double ratio = value * (1.0 / static_cast<double>(s.ValueFrom()));
  return static_cast<std::int32_t>(
      static_cast<std::int64_t>(RoundInt(std::log10(ratio) * log_digits_per_decade_)) +
      s.DigitalFrom());
}

void TGxAnalogGControl::SetValue(float value) {
  if (value == value_) return;
  if (log_scale_ && value <= 0.0f) return;
  value_ = value;
  digit_ = log_scale_ ? LogDigit(value) : LinearDigit(value);
  ValueChanged();
}

void TGxAnalogGControl::SetDigit(std::int32_t digit) {
  if (digit == digit_) return;
  digit_ = digit;
  const TSignalSettings& s = *signal_settings_;
  const double steps = static_cast<double>(digit) - s.DigitalFrom();
  if (log_scale_) {
    if (log_digits_per_decade_ != 0.0 && log_digits_per_decade_ - log_offset_ != 0.0)
      value_ = static_cast<float>(std::pow(10.0, steps / log_digits_per_decade_ - log_offset_));
  } else {
    value_ = static_cast<float>(steps * s.ValuePerDigit() + s.ValueFrom());
  }
  ValueChanged();
}

void TGxAnalogGControl::SetLimitUpper(float limit) {
  if (limit == limit_upper_) return;
  limit_upper_ = limit;
  ValueChanged();
}

void TGxAnalogGControl::SetLimitLower(float limit) {
  // Stored just above 0, so that a value of 0 counts as below the lower limit.
  if (limit == 0.0f) limit = 0.0001f;
  if (limit == limit_lower_) return;
  limit_lower_ = limit;
  ValueChanged();
}

void TGxAnalogGControl::SetHintOptions(THintOptions options) {
  const bool auto_hint_on =
      options.Contains(THintOption::hoAutoHint) && !hint_options_.Contains(THintOption::hoAutoHint);
  hint_options_ = options;
  if (auto_hint_on) ValueChanged();
}

void TGxAnalogGControl::SetLogScale(bool on) {
  if (on == log_scale_) return;
  log_scale_ = on;
  TSignalSettings& s = *signal_settings_;
  s.SetLogScale(on);
  sector_settings_->SetLogScale(on);
  if (on) {
    if (value_ <= 0.0f) value_ = 0.001f;
    s.AssignValueFrom(s.ValueFrom() > 0.0f ? TSignalSettings::NearestPowerOfTen(s.ValueFrom())
                                           : 0.001f);
    s.AssignValueTo(TSignalSettings::NearestPowerOfTen(s.ValueTo()));
    const double decades = std::log10(static_cast<double>(s.ValueTo()) / s.ValueFrom());
    log_digits_per_decade_ = s.ValueTo() != s.ValueFrom() && decades != 0.0
                                 ? s.DigitalRange() / decades
                                 : static_cast<double>(s.DigitalRange());
    log_offset_ = std::log10(1.0 / s.ValueFrom());
    digit_ = LogDigit(value_);
  } else {
    digit_ = LinearDigit(value_);
  }
  LogScaleChanged();
}

void TGxAnalogGControl::SettingsChanged() {
  TSignalSettings& s = *signal_settings_;
  s.RecomputeRanges();
  if (log_scale_) {
    const double decades = std::log10(static_cast<double>(s.ValueTo()) / s.ValueFrom());
    // Equal bounds give no decades; the digital range then spans one decade.
    log_digits_per_decade_ =
        decades != 0.0 ? s.DigitalRange() / decades : static_cast<double>(s.DigitalRange());
    log_offset_ = std::log10(1.0 / s.ValueFrom());
    if (value_ <= 0.0f) value_ = 1.0f;
    digit_ = LogDigit(value_);
  } else {
    digit_ = LinearDigit(value_);
  }
  if (on_settings_change_) on_settings_change_(this);
}

void TGxAnalogGControl::EvaluateLimits() {
  const bool upper = value_ > limit_upper_;
  const bool lower = value_ < limit_lower_;
  if (upper == upper_ && lower == lower_) return;
  upper_ = upper;
  lower_ = lower;
  LimitChanged();
  if (on_limit_) on_limit_(this, lower_, upper_);
}

void TGxAnalogGControl::ValueChanged() {
  const TSignalSettings& s = *signal_settings_;
  // 1. The value text.
  value_text_ = FormatValue(s.ValueFormat(), value_);

  // 2. The raw position.  Equal digital bounds give no scale to place the value on; the
  // position then stays at the start of the scale instead of dividing by zero.
  std::int32_t p = 0;
  if (s.DigitalRange() != 0)
    p = RoundInt(1000.0 / s.DigitalRange() * (static_cast<double>(digit_) - s.DigitalFrom()));
  ppt_ = p;

  // 3. Sectors; overlapping sectors leave the colour of the higher-numbered one.
  for (int n = 0; n < 3; ++n) {
    const bool inside = sector_settings_->Contains(n, p);
    if (inside) sector_color_ = sector_settings_->ColorOf(n);
    if (inside != sector_[n]) {
      sector_[n] = inside;
      if (on_sector_change_) on_sector_change_(this, n == 0, n == 1, n == 2, inside);
    }
  }

  // 4. Limits; a value equal to a limit is inside.
  EvaluateLimits();

  // 5. Overflow, reported with the raw position; then the position is clamped.
  if (p < 0) {
    if (!overflow_low_) {
      overflow_low_ = true;
      overflow_high_ = false;
      OverflowChanged();
      if (on_overflow_) on_overflow_(this, p);
    }
    ppt_ = 0;
  } else if (p > 1000) {
    if (!overflow_high_) {
      overflow_high_ = true;
      overflow_low_ = false;
      OverflowChanged();
      if (on_overflow_) on_overflow_(this, p);
    }
    ppt_ = 1000;
  } else if (overflow_high_ || overflow_low_) {
    overflow_high_ = false;
    overflow_low_ = false;
    OverflowChanged();
    if (on_overflow_) on_overflow_(this, p);
  }

  // 6. Extremes; the first of each after loading raises nothing.
  if (min_max_->Min() > value_) {
    const float previous = min_max_->Min();
    min_max_->SetMin(value_);
    min_ppt_ = ppt_;
    if (previous != TMinMax::kNoMin) MinMaxChanged();
  }
  if (min_max_->Max() < value_) {
    const float previous = min_max_->Max();
    min_max_->SetMax(value_);
    max_ppt_ = ppt_;
    if (previous != TMinMax::kNoMax) MinMaxChanged();
  }

  // 7. Tooltip.
  if (hint_options_.Contains(THintOption::hoAutoHint)) RebuildHint();

  // 8.
  if (on_value_change_) on_value_change_(this);
}

void TGxAnalogGControl::MinMaxChanged() {
  if (on_min_max_change_) on_min_max_change_(this);
  ValueChanged();
}

const QString& TGxAnalogGControl::ExtremeLine(ExtremeLineCache& cache, const QString& label,
                                              float extreme, const QDateTime& when) const {
  // Formatting numbers and dates is slow next to a value pass, and an extreme changes rarely.
  const TSignalSettings& s = *signal_settings_;
  const bool with_date = hint_options_.Contains(THintOption::hoMinMaxDate);
  const bool with_time = hint_options_.Contains(THintOption::hoMinMaxTime);
  if (cache.valid && cache.extreme == extreme && cache.when == when &&
      cache.with_date == with_date && cache.with_time == with_time &&
      cache.format == s.ValueFormat() && cache.unit == s.ValueUnit())
    return cache.text;
  cache.text = label + FormatValue(s.ValueFormat(), extreme) + ' ' + s.ValueUnit();
  if (with_date) cache.text += ' ' + QLocale().toString(when.date(), QLocale::ShortFormat);
  if (with_time) cache.text += ' ' + when.time().toString(QStringLiteral("hh:mm:ss"));
  cache.valid = true;
  cache.extreme = extreme;
  cache.when = when;
  cache.with_date = with_date;
  cache.with_time = with_time;
  cache.format = s.ValueFormat();
  cache.unit = s.ValueUnit();
  return cache.text;
}

void TGxAnalogGControl::RebuildHint() {
  const TSignalSettings& s = *signal_settings_;
  const QString& unit = s.ValueUnit();
  const QChar separator('\r');
  QString hint;
  auto add = [&](const QString& line) {
    if (!hint.isEmpty()) hint += separator;
    hint += line;
  };
  if (hint_options_.Contains(THintOption::hoValue))
    add(QStringLiteral("Value= ") + value_text_ + ' ' + unit);
  if (hint_options_.Contains(THintOption::hoMin))
    add(ExtremeLine(min_line_, QStringLiteral("MIN= "), min_max_->Min(), min_max_->MinDateTime()));
  if (hint_options_.Contains(THintOption::hoMax))
    add(ExtremeLine(max_line_, QStringLiteral("MAX= "), min_max_->Max(), min_max_->MaxDateTime()));
  if (hint_options_.Contains(THintOption::hoName1)) add(s.Name1());
  if (hint_options_.Contains(THintOption::hoName2)) add(s.Name2());
  if (hint == hint_) return;
  hint_ = hint;
  // Qt breaks tooltip lines at line feeds.
  setToolTip(QString(hint).replace(separator, QChar('\n')));
}

}  // namespace m797::gauges
