#pragma once

#include <QString>
#include <cstdint>

#include "gauges/gx_persistent.h"

namespace m797::gauges {

// What an instrument measures and how it is labelled, with the factors that map a value onto the
// digital reading and the scale position (thousandths of the scale).
class TSignalSettings : public TGxPersistent {
 public:
  std::int32_t DigitalFrom() const { return digital_from_; }
  void SetDigitalFrom(std::int32_t v) { Store(digital_from_, v); }
  std::int32_t DigitalTo() const { return digital_to_; }
  void SetDigitalTo(std::int32_t v) { Store(digital_to_, v); }

  const QString& Name1() const { return name1_; }
  void SetName1(const QString& v) { Store(name1_, v); }
  const QString& Name2() const { return name2_; }
  void SetName2(const QString& v) { Store(name2_, v); }
  const QString& ValueFormat() const { return value_format_; }
  void SetValueFormat(const QString& v) { Store(value_format_, v); }
  const QString& ValueUnit() const { return value_unit_; }
  void SetValueUnit(const QString& v) { Store(value_unit_, v); }

  // A bound equal to either current bound is refused, so the range never becomes empty by
  // assignment.  On a logarithmic scale the bound becomes its nearest power of ten.
  float ValueFrom() const { return value_from_; }
  void SetValueFrom(float v) { SetBound(value_from_, v); }
  float ValueTo() const { return value_to_; }
  void SetValueTo(float v) { SetBound(value_to_, v); }

  // Derived by RecomputeRanges.
  float ValueRange() const { return value_range_; }
  std::int32_t DigitalRange() const { return digital_range_; }
  float ValuePerDigit() const { return value_per_digit_; }
  float DigitsPerValue() const { return digits_per_value_; }
  float PPTPerValue() const { return ppt_per_value_; }
  const QString& FormatTemplate() const { return format_template_; }

  // Copied in from the owning instrument; does not notify.
  bool LogScale() const { return log_scale_; }
  void SetLogScale(bool on) { log_scale_ = on; }

  // Writes a bound directly, without the refusal rule (the log mapping of the owner uses it).
  void AssignValueFrom(float v) { value_from_ = v; }
  void AssignValueTo(float v) { value_to_ = v; }

  // Recomputes the ranges and the factors; the factors only from positive ranges, so they never
  // come from a division by zero.
  void RecomputeRanges();

  // 10 raised to the rounded decimal logarithm of v; v <= 0 counts as 1.
  static float NearestPowerOfTen(float v);

 protected:
  void Changed() override;

 private:
  void SetBound(float& bound, float v);

  std::int32_t digital_from_ = 0;
  std::int32_t digital_to_ = 1000;
  QString name1_ = QStringLiteral("SignalName1");
  QString name2_ = QStringLiteral("SignalName2");
  QString value_format_ = QStringLiteral("##0.0");
  float value_from_ = 0.0f;
  float value_to_ = 100.0f;
  QString value_unit_ = QStringLiteral("%");

  float value_range_ = 100.0f;
  std::int32_t digital_range_ = 1000;
  float value_per_digit_ = 0.0f;
  float digits_per_value_ = 0.0f;
  float ppt_per_value_ = 0.0f;
  QString format_template_;
  bool log_scale_ = false;
};

}  // namespace m797::gauges
