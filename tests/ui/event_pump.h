#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace m797::ui::test {

// Runs the event loop until done holds or the time is up; returns done().  The loop waits for
// events between looks, and looks at least every 10 ms for conditions no event announces (a
// file appearing).
inline bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeout_ms) {
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return done();
}

}  // namespace m797::ui::test
