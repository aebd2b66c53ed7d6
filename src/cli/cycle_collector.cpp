#include "cli/cycle_collector.h"

namespace m797::cli {

bool CycleCollector::Write(session::Gauge gauge, float value) {
  const int index = shared_texts::QuantityIndex(gauge);
  if (index < 0) return false;
  values_[index] = value;
  written_.set(index);
  if (!written_.all()) return false;
  written_.reset();
  return true;
}

}  // namespace m797::cli
