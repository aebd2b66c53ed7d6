#include "engine_model.h"

#include <algorithm>
#include <cmath>

namespace m797::ecusim {

EngineState EngineAt(double t) {
  EngineState e{};
  const double warm = std::clamp(t / 180.0, 0.0, 1.0);  // 0 cold .. 1 warm
  e.coolant_c = 15.0 + 75.0 * warm;
  e.intake_air_c = 18.0 + 10.0 * warm;
  e.battery_v = 14.0 + 0.1 * std::sin(t * 0.7);

  // A blip: throttle opens quickly and closes, 2 s out of every 8 s.
  const double phase = std::fmod(t, 8.0);
  const double blip = phase > 5.0 && phase < 7.0 ? std::sin((phase - 5.0) / 2.0 * M_PI) : 0.0;
  const double idle = 1200.0 - 400.0 * warm + 15.0 * std::sin(t * 3.1);
  e.throttle_pct = 2.0 + 28.0 * blip;
  e.rpm = idle + 1800.0 * blip;
  e.manifold_kpa = 32.0 + 55.0 * blip;
  e.speed_kmh = 40.0 * blip;
  e.injection_ms = 2.5 + 6.0 * blip;
  return e;
}

}  // namespace m797::ecusim
