#pragma once

#include "session/steady_clock.h"

namespace m797::qt_adapters {

// The real clock for a program with windows: while the session pauses, the event loop keeps
// running, so that the windows paint, take input and answer assistive technology.  What would
// reach the session meanwhile is held back by the program's HandlerGate.  The pause ends no
// earlier than asked: the loop stops shortly before the end and the clock sleeps the rest.
class EventLoopClock final : public session::Clock {
 public:
  std::uint32_t TickCount() override { return steady_.TickCount(); }
  std::int64_t PerformanceFrequency() override { return steady_.PerformanceFrequency(); }
  std::int64_t PerformanceCounter() override { return steady_.PerformanceCounter(); }
  void SleepUntilShortlyBefore(std::int64_t counter) override {
    steady_.SleepUntilShortlyBefore(counter);
  }
  void PassTimeUntil(std::int64_t counter) override;
  void BeginTimeCritical() override { steady_.BeginTimeCritical(); }
  void EndTimeCritical() override { steady_.EndTimeCritical(); }

 private:
  session::SteadyClock steady_;
};

}  // namespace m797::qt_adapters
