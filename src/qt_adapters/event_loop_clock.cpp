#include "qt_adapters/event_loop_clock.h"

#include <QEventLoop>
#include <QTimer>
#include <chrono>

namespace m797::qt_adapters {

namespace {

// The loop stops this long before the end of a pause: time enough for the event it may be
// handling when its timer comes due (a repaint takes a few milliseconds), after which the clock
// sleeps to the end.
constexpr std::chrono::milliseconds kLoopStopsBefore(4);

}  // namespace

void EventLoopClock::PassTimeUntil(std::int64_t counter) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  using std::chrono::nanoseconds;
  const auto left = nanoseconds(counter - steady_.PerformanceCounter()) - kLoopStopsBefore;
  if (left > milliseconds(0)) {
    QEventLoop loop;
    QTimer stop;
    stop.setSingleShot(true);
    stop.setTimerType(Qt::PreciseTimer);
    QObject::connect(&stop, &QTimer::timeout, &loop, &QEventLoop::quit);
    stop.start(duration_cast<milliseconds>(left));
    // Returns at once, or early, when the application is quitting; the sleep below still holds
    // the pause to its end.
    loop.exec();
  }
  steady_.PassTimeUntil(counter);
}

}  // namespace m797::qt_adapters
