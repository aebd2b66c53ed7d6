#pragma once

#include <cstdint>

#include "session/clock.h"

namespace m797::session {

// The session's timed waits.  Both deliberately block the calling (main) thread for the whole
// wait: the controller's timing depends on nothing else running in between.  They sleep until
// shortly before their deadline and poll the clock only for the last stretch, so that they end
// as precisely as a pure polling loop without keeping a core busy.

// Waits until the millisecond tick counter has advanced by more than `milliseconds` since the
// call began, and the high-resolution counter until `milliseconds` + 1 have fully passed: a wait
// that begins late in a tick would otherwise end up to a millisecond early.  Correct across the
// 32-bit wrap of the tick counter.
void WaitTicksMoreThan(Clock& clock, std::uint32_t milliseconds);

// Waits until the high-resolution counter is greater than `deadline`.
void WaitCounterPast(Clock& clock, std::int64_t deadline);

}  // namespace m797::session
