// The Qt pieces under the windows: the serial threads' hand-over on the event loop and the
// session's timers on QTimer.
#include <gtest/gtest.h>

#include "event_pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <stdexcept>
#include <stop_token>
#include <thread>

#include "qt_adapters/qt_main_thread_dispatcher.h"
#include "qt_adapters/qt_session_timer.h"

namespace m797::qt_adapters {
namespace {

using ui::test::PumpUntil;

TEST(QtMainThreadDispatcher, RunsOnTheUiThreadAndRethrowsInTheCaller) {
  QtMainThreadDispatcher dispatcher;
  EXPECT_TRUE(dispatcher.OnMainThread());
  std::atomic<bool> ran_on_main{false};
  std::atomic<bool> caught{false};
  std::atomic<bool> finished{false};
  std::jthread worker([&] {
    EXPECT_FALSE(dispatcher.OnMainThread());
    dispatcher.Invoke([&] { ran_on_main = dispatcher.OnMainThread(); });
    try {
      dispatcher.Invoke([] { throw std::runtime_error("Communication device failed"); });
    } catch (const std::runtime_error& e) {
      caught = std::string(e.what()) == "Communication device failed";
    }
    finished = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return finished.load(); }));
  EXPECT_TRUE(ran_on_main);
  EXPECT_TRUE(caught);
  // On the UI thread itself a call runs at once.
  bool direct = false;
  dispatcher.Invoke([&] { direct = true; });
  EXPECT_TRUE(direct);
}

TEST(QtMainThreadDispatcher, AWaitGivenUpLeavesTheCallUnrun) {
  QtMainThreadDispatcher dispatcher;
  std::stop_source stop;
  std::atomic<bool> ran{false};
  std::atomic<int> result{-1};
  std::jthread worker([&] { result = dispatcher.Invoke([&] { ran = true; }, stop.get_token()); });
  // The UI thread is busy (as in a port closing from a handler, which stops the thread) and
  // runs no events until the wait has been given up.
  stop.request_stop();
  worker.join();
  EXPECT_EQ(result, 0);
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

TEST(QtSessionTimer, EnablingARunningTimerKeepsItsPeriod) {
  int ticks = 0;
  QtSessionTimer timer(400, [&] { ++ticks; });
  QElapsedTimer clock;
  timer.SetEnabled(true);
  clock.start();
  QTest::qWait(200);
  timer.SetEnabled(true);  // must not restart the 400 ms
  ASSERT_TRUE(PumpUntil([&] { return ticks > 0; }));
  // Restarted, the tick would come 600 ms after the start.
  EXPECT_LT(clock.elapsed(), 550);
  EXPECT_TRUE(timer.Enabled());
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 400);
}

}  // namespace
}  // namespace m797::qt_adapters
