#pragma once

namespace m797::wire_log {

// Milliseconds on the system's monotonic clock (CLOCK_MONOTONIC on Linux), the time base of every
// wire log, so that logs written by different programs on one machine line up.
double MonotonicMs();

}  // namespace m797::wire_log
