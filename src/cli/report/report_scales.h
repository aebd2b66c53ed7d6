#pragma once

#include <QColor>
#include <span>
#include <vector>

#include "shared_texts/quantities.h"

namespace m797::cli {

// A coloured sector of an instrument's scale, in thousandths of the scale, both ends included.
struct ScaleBand {
  int from_ppt;
  int to_ppt;
  QColor color;
};

// The scale of the instrument that shows a quantity on the window, in the unit the recording
// keeps (rpm for engine speed, whose dial reads hundreds), and the coloured sectors that
// instrument draws.  Only the dials draw sectors; the thermometers and vertical meters do not.
struct QuantityScale {
  float from;
  float to;
  std::vector<ScaleBand> bands;

  // The value at a position of the scale.
  double ValueAt(int ppt) const { return from + (to - from) * ppt / 1000.0; }
};

std::span<const QuantityScale, shared_texts::kQuantityCount> QuantityScales();

}  // namespace m797::cli
