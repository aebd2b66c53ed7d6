#pragma once

#include <QTimer>
#include <functional>

#include "session/session_timer.h"

namespace m797::qt_adapters {

// A session timer on QTimer.  QTimer::start restarts a running timer; the session relies on
// enabling an enabled timer keeping its period, so only a change of state reaches the QTimer.
class QtSessionTimer final : public session::SessionTimer {
 public:
  QtSessionTimer(int interval_ms, std::function<void()> on_tick);

  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.isActive(); }

  int Interval() const { return timer_.interval(); }

 private:
  QTimer timer_;
};

}  // namespace m797::qt_adapters
