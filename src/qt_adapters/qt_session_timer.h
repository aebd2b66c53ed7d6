#pragma once

#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>

#include "session/session_timer.h"

namespace m797::qt_adapters {

// A session timer on QTimer.  It ticks no earlier than its interval after it was enabled or after
// its previous tick, as a window timer does: Qt lets a coarse timer fire up to 5 % early and a
// precise one within its millisecond, so each tick is checked against the steady clock and put
// off when it came early.  QTimer::start restarts a running timer; the session relies on
// enabling an enabled timer keeping its period, so only a change of state reaches the QTimer.
class QtSessionTimer final : public session::SessionTimer {
 public:
  QtSessionTimer(int interval_ms, std::function<void()> on_tick);

  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

  int Interval() const { return static_cast<int>(interval_.count()); }
  // Counts the changes between enabled and disabled: a tick held back while the session pauses
  // is dropped when the timer has been disabled (or disabled and enabled again) since, as the
  // tick of a stopped timer never comes.
  std::uint64_t Generation() const { return generation_; }

 private:
  void Arm(std::chrono::steady_clock::duration delay);
  void OnTimeout();

  QTimer timer_;
  std::function<void()> on_tick_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point period_start_;
  std::uint64_t generation_ = 0;
  bool enabled_ = false;
};

}  // namespace m797::qt_adapters
