#pragma once

#include <QDateTime>

#include "gauges/gx_color.h"
#include "gauges/gx_persistent.h"

namespace m797::gauges {

// The extremes an instrument has seen since loading, and how its markers show them.
class TMinMax : public TGxPersistent {
 public:
  // The sentinels: no extreme seen yet.
  static constexpr float kNoMax = -9999999.0f;
  static constexpr float kNoMin = 9999999.0f;

  TMinMax();

  // Direct writes store the extreme and stamp its time without notifying.
  float Max() const { return max_; }
  void SetMax(float v);
  float Min() const { return min_; }
  void SetMin(float v);
  const QDateTime& MaxDateTime() const { return max_date_time_; }
  const QDateTime& MinDateTime() const { return min_date_time_; }

  TColor MaxColor() const { return max_color_; }
  void SetMaxColor(TColor v) { Store(max_color_, v); }
  TColor MinColor() const { return min_color_; }
  void SetMinColor(TColor v) { Store(min_color_, v); }
  bool UseSectorCol() const { return use_sector_col_; }
  void SetUseSectorCol(bool v) { Store(use_sector_col_, v); }
  bool MinVisible() const { return min_visible_; }
  void SetMinVisible(bool v) { Store(min_visible_, v); }
  bool MaxVisible() const { return max_visible_; }
  void SetMaxVisible(bool v) { Store(max_visible_, v); }

  // Back to "nothing seen" (loading complete).
  void Reset();

 private:
  float max_ = kNoMax;
  QDateTime max_date_time_;
  float min_ = kNoMin;
  QDateTime min_date_time_;
  TColor max_color_ = clAqua;
  TColor min_color_ = clAqua;
  bool use_sector_col_ = true;
  bool min_visible_ = true;
  bool max_visible_ = true;
};

}  // namespace m797::gauges
