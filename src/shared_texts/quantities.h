#pragma once

#include <array>
#include <span>

#include "session/session_controls.h"

namespace m797::shared_texts {

// The eight quantities of the live-data page, in the order the recorder writes them.  The
// window's instruments take their units from here.
inline constexpr int kQuantityCount = 8;

struct Quantity {
  session::Gauge gauge;  // the instrument whose value is recorded
  const char* column;    // the recording's column: name and unit, ASCII apart from the degree sign
  const char* caption;   // what the instrument is called on the window
  const char* unit;      // the instrument's unit
  int decimals;          // shown on the screen and in the report
};

std::span<const Quantity, kQuantityCount> Quantities();

// The position of a gauge's quantity, or -1 for the gauges that only repeat one (the dials of
// speed, engine speed and battery voltage beside their numeric readouts).
int QuantityIndex(session::Gauge gauge);
// A gauge's quantity, or nullptr for those same gauges.
const Quantity* FindQuantity(session::Gauge gauge);

using QuantityValues = std::array<float, kQuantityCount>;

}  // namespace m797::shared_texts
