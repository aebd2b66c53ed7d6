#include "gauges/sector_settings.h"

namespace m797::gauges {

std::optional<TColor> TSectorSettings::SectorColorAt(std::int32_t position) const {
  for (int n = 0; n < 3; ++n)
    if (Contains(n, position)) return color_[n];
  return std::nullopt;
}

}  // namespace m797::gauges
