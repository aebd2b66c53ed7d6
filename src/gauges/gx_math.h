#pragma once

#include <cmath>
#include <limits>

namespace m797::gauges {

// Real to integer, nearest with halves to the even neighbour.  A value beyond the integer range
// saturates and NaN gives 0, so that no input can make the conversion undefined.
inline int RoundInt(double x) {
  if (std::isnan(x)) return 0;
  const double r = std::nearbyint(x);
  if (r >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (r <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

}  // namespace m797::gauges
