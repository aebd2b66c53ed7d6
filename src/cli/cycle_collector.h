#pragma once

#include <bitset>

#include "shared_texts/quantities.h"

namespace m797::cli {

// Gathers the gauge values of the live-data answers into complete cycles.  Each controller type
// asks for its quantities in its own cycle of records (three or four requests), and every cycle
// writes each quantity once; a cycle is complete when every quantity has been written since the
// last complete one, which is at the cycle's last record whatever the type.  A cycle broken off by
// a lost link completes once the missing records have come after the link is back.
class CycleCollector {
 public:
  // A value the session wrote to a gauge; true when it completes a cycle.
  bool Write(session::Gauge gauge, float value);

  // The latest value of every quantity.
  const shared_texts::QuantityValues& values() const { return values_; }

 private:
  shared_texts::QuantityValues values_{};
  std::bitset<shared_texts::kQuantityCount> written_;
};

}  // namespace m797::cli
