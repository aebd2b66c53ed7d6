#include "gauges/min_max.h"

namespace m797::gauges {

TMinMax::TMinMax() : max_date_time_(QDateTime::currentDateTime()), min_date_time_(max_date_time_) {}

void TMinMax::SetMax(float v) {
  max_ = v;
  max_date_time_ = QDateTime::currentDateTime();
}

void TMinMax::SetMin(float v) {
  min_ = v;
  min_date_time_ = QDateTime::currentDateTime();
}

void TMinMax::Reset() {
  max_ = kNoMax;
  min_ = kNoMin;
}

}  // namespace m797::gauges
