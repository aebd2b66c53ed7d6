#include "cli/report/report_scales.h"

#include <array>

namespace m797::cli {

namespace {

const QColor kGreen(0x00, 0x80, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);

}  // namespace

std::span<const QuantityScale, shared_texts::kQuantityCount> QuantityScales() {
  // As the window's instruments are set up: the speed and engine-speed dials with their stored
  // sectors, the voltage dial with the instrument's default ones.
  static const std::array<QuantityScale, shared_texts::kQuantityCount> scales = {{
      {0, 250, {{0, 440, kGreen}, {440, 720, kYellow}, {720, 1000, kRed}}},
      {0, 7000, {{0, 571, kGreen}, {572, 857, kYellow}, {858, 1000, kRed}}},
      {-40, 160, {}},
      {-30, 70, {}},
      {6, 18, {{0, 333, kYellow}, {334, 666, kGreen}, {667, 1000, kRed}}},
      {0, 100, {}},
      {0, 120, {}},
      {0, 20, {}},
  }};
  return scales;
}

}  // namespace m797::cli
