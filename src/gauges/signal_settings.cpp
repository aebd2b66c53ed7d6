#include "gauges/signal_settings.h"

#include <cmath>

#include "gauges/gx_math.h"

namespace m797::gauges {

namespace {

// The extent of a range from its two ends; `keep` when the ends give none (from >= 0, to <= 0).
template <typename T>
T RangeOf(T from, T to, T keep) {
  const T a = to < 0 ? -to : to;
  const T b = from < 0 ? -from : from;
  if (from < 0 && to < 0) return b - a;
  if (from < 0 && to >= 0) return a + b;
  if (from >= 0 && to > 0) return a - b;
  return keep;
}

}  // namespace

float TSignalSettings::NearestPowerOfTen(float v) {
  if (v <= 0.0f) v = 1.0f;
  return static_cast<float>(std::pow(10.0, RoundInt(std::log10(static_cast<double>(v)))));
}

void TSignalSettings::SetBound(float& bound, float v) {
  if (v == value_from_ || v == value_to_) return;
  bound = log_scale_ ? NearestPowerOfTen(v) : v;
  Changed();
}

void TSignalSettings::RecomputeRanges() {
  value_range_ = RangeOf(value_from_, value_to_, value_range_);
  // Widened so that extreme bounds cannot overflow; the result is stored back as 32 bits.
  const std::int64_t digital = RangeOf<std::int64_t>(digital_from_, digital_to_, digital_range_);
  digital_range_ = static_cast<std::int32_t>(digital);
  if (digital_range_ > 0) value_per_digit_ = value_range_ / static_cast<float>(digital_range_);
  if (value_range_ > 0.0f) {
    digits_per_value_ = static_cast<float>(digital_range_) / value_range_;
    ppt_per_value_ = 1000.0f / value_range_;
    const int semicolon = value_format_.indexOf(';');
    if (semicolon < 0) {
      format_template_ = value_format_;
    } else {
      const QString first = value_format_.left(semicolon);
      const QString second = value_format_.mid(semicolon + 1);
      format_template_ = first.size() > second.size() ? first : second;
    }
  }
}

void TSignalSettings::Changed() {
  RecomputeRanges();
  TGxPersistent::Changed();
}

}  // namespace m797::gauges
