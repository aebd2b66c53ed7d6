#pragma once

#include <cstdint>

#include "session/clock.h"

namespace m797::session {

// Polls the millisecond tick counter until it has advanced by more than `milliseconds` since the
// call began, and the high-resolution counter until `milliseconds` + 1 have fully passed: a wait
// that begins late in a tick would otherwise end up to a millisecond early.  Deliberately blocks
// the calling (main) thread: the controller's timing depends on nothing else running in between.
// Correct across the 32-bit wrap of the tick counter.
void BusyWaitTicksMoreThan(Clock& clock, std::uint32_t milliseconds);

// Polls the high-resolution counter until it is greater than `deadline`.
void BusyWaitCounterPast(Clock& clock, std::int64_t deadline);

}  // namespace m797::session
