#include "qt_adapters/qt_session_timer.h"

#include <utility>

namespace m797::qt_adapters {

QtSessionTimer::QtSessionTimer(int interval_ms, std::function<void()> on_tick) {
  timer_.setInterval(interval_ms);
  timer_.setTimerType(Qt::CoarseTimer);
  QObject::connect(&timer_, &QTimer::timeout, std::move(on_tick));
}

void QtSessionTimer::SetEnabled(bool enabled) {
  if (enabled == timer_.isActive()) return;
  if (enabled)
    timer_.start();
  else
    timer_.stop();
}

}  // namespace m797::qt_adapters
