#include "qt_adapters/qt_session_timer.h"

#include <utility>

namespace m797::qt_adapters {

QtSessionTimer::QtSessionTimer(int interval_ms, std::function<void()> on_tick)
    : on_tick_(std::move(on_tick)), interval_(interval_ms) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { OnTimeout(); });
}

void QtSessionTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  ++generation_;
  if (enabled) {
    period_start_ = std::chrono::steady_clock::now();
    Arm(interval_);
  } else {
    timer_.stop();
  }
}

void QtSessionTimer::Arm(std::chrono::steady_clock::duration delay) {
  // Rounded up to whole milliseconds, Qt's unit.
  timer_.start(std::chrono::ceil<std::chrono::milliseconds>(delay));
}

void QtSessionTimer::OnTimeout() {
  const auto now = std::chrono::steady_clock::now();
  const auto due = period_start_ + interval_;
  if (now < due) {
    Arm(due - now);
    return;
  }
  // The next period runs from this tick, so a late tick never makes the next one early.
  period_start_ = now;
  Arm(interval_);
  on_tick_();
}

}  // namespace m797::qt_adapters
