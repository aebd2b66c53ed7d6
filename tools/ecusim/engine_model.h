#pragma once

namespace m797::ecusim {

// What the engine is doing at a moment.
struct EngineState {
  double rpm;
  double speed_kmh;
  double coolant_c;
  double intake_air_c;
  double battery_v;
  double throttle_pct;
  double manifold_kpa;
  double injection_ms;
};

// A car idling after a cold start: the coolant warms from 15 to 90 degrees over about three
// minutes and the idle speed settles from 1200 to 800 rpm with it; every 8 seconds the driver
// blips the throttle for two seconds, and engine speed, manifold pressure and road speed follow.
EngineState EngineAt(double seconds_since_start);

}  // namespace m797::ecusim
