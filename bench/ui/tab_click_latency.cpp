#include "tab_click_latency.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>
#include <QPointingDevice>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "ui/form1.h"

namespace {

using Clock = std::chrono::steady_clock;

// Notes when a page paints after a click that chose it.
class PagePaints : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      std::lock_guard lock(mutex);
      if (watched == awaited && pressed) {
        latencies.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - *pressed).count());
        pressed.reset();
      }
    }
    return false;
  }

  std::mutex mutex;
  QObject* awaited = nullptr;                // guarded by mutex
  std::optional<Clock::time_point> pressed;  // guarded by mutex
  std::vector<double> latencies;             // guarded by mutex
};

}  // namespace

std::vector<double> TabClickLatencies(m797::ui::TForm1& form, int clicks, int apart_ms) {
  QTabBar* bar = form.PageControl1->tabBar();
  const QPointF centres[2] = {bar->tabRect(0).center(), bar->tabRect(1).center()};
  const QPointF globals[2] = {bar->mapToGlobal(centres[0]), bar->mapToGlobal(centres[1])};
  // Made here, on the main thread, where its first use creates it.
  const QPointingDevice* mouse = QPointingDevice::primaryPointingDevice();
  const int first_tab = (form.PageControl1->currentIndex() + 1) % 2;
  QWidget* pages[2] = {form.PageControl1->widget(0), form.PageControl1->widget(1)};
  PagePaints paints;
  for (QWidget* page : pages)
    page->installEventFilter(&paints);

  std::atomic<bool> done{false};
  std::jthread clicker([&] {
    for (int i = 0; i < clicks; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(apart_ms));
      const int tab = (first_tab + i) % 2;
      {
        std::lock_guard lock(paints.mutex);
        paints.awaited = pages[tab];
        paints.pressed = Clock::now();
      }
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            bar, new QMouseEvent(type, centres[tab], globals[tab], Qt::LeftButton,
                                 type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                 Qt::NoModifier, mouse));
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(apart_ms));
    done = true;
  });
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done) loop.quit();
  });
  poll.start(50);
  loop.exec();
  clicker.join();
  for (QWidget* page : pages)
    page->removeEventFilter(&paints);
  std::lock_guard lock(paints.mutex);
  return paints.latencies;
}
