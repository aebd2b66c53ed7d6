#pragma once

#include "session/clock.h"

namespace m797::session {

// The real clocks: a monotonic millisecond tick (wrapping at 32 bits) and a nanosecond counter.
class SteadyClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  std::int64_t PerformanceFrequency() override;
  std::int64_t PerformanceCounter() override;
};

}  // namespace m797::session
