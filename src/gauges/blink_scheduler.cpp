#include "gauges/blink_scheduler.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <exception>

#include "gauges/graphic_control.h"

namespace m797::gauges {

TGxBlinkScheduler& TGxBlinkScheduler::Instance() {
  static TGxBlinkScheduler scheduler;
  return scheduler;
}

int TGxBlinkScheduler::IndexOf(const TGxGraphicControl* control) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].control == control) return static_cast<int>(i);
  return -1;
}

bool TGxBlinkScheduler::Contains(const TGxGraphicControl* control) const {
  return IndexOf(control) >= 0;
}

void TGxBlinkScheduler::Start(TGxGraphicControl* control, int mode) {
  if (control == nullptr) return;
  const int index = IndexOf(control);
  if (index >= 0) {
    entries_[static_cast<std::size_t>(index)].mode = mode;
    return;
  }
  // The list grows by 10 whenever fewer than 2 free slots remain.
  if (entries_.capacity() - entries_.size() < 2) entries_.reserve(entries_.capacity() + 10);
  entries_.push_back({control, mode, counter_});
  UpdateTimer();
}

void TGxBlinkScheduler::Stop(TGxGraphicControl* control) {
  const int index = IndexOf(control);
  if (index < 0) return;
  entries_.erase(entries_.begin() + index);
  UpdateTimer();
}

void TGxBlinkScheduler::Tick() {
  ++counter_;  // wraps from the largest value to 0
  // A blink handler may start or stop entries (its own or others'), so the controls are taken
  // from a snapshot and each is looked up again before it is served.
  std::vector<TGxGraphicControl*> controls;
  controls.reserve(entries_.size());
  for (const Entry& e : entries_)
    controls.push_back(e.control);
  for (TGxGraphicControl* control : controls) {
    const int index = IndexOf(control);
    if (index < 0) continue;
    Entry& entry = entries_[static_cast<std::size_t>(index)];
    if (entry.mode < 1 || entry.mode > 16) continue;
    const auto mask = static_cast<std::uint32_t>(entry.mode);
    const bool changed = (mask & counter_) != (mask & entry.phase);
    entry.phase = counter_;
    if (!changed) continue;
    try {
      control->BlinkMessage(counter_, (mask & counter_) != 0 ? -1 : 0);
    } catch (const std::exception&) {
      // A fault while serving one entry skips that entry for this tick.
    }
  }
}

void TGxBlinkScheduler::SetAutoTick(bool on) {
  auto_tick_ = on;
  UpdateTimer();
}

void TGxBlinkScheduler::UpdateTimer() {
  const bool wanted = auto_tick_ && !entries_.empty();
  if (!wanted) {
    if (timer_) timer_->stop();
    return;
  }
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() != app->thread()) return;
  if (!timer_) {
    // Owned by the application object, so it never outlives the event loop's thread.
    timer_ = new QTimer(app);
    timer_->setInterval(kIntervalMs);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, [] { TGxBlinkScheduler::Instance().Tick(); });
  }
  if (!timer_->isActive()) timer_->start();
}

void BlinkStart(TGxGraphicControl* control, int mode) {
  TGxBlinkScheduler::Instance().Start(control, mode);
}

void BlinkStop(TGxGraphicControl* control) {
  TGxBlinkScheduler::Instance().Stop(control);
}

}  // namespace m797::gauges
