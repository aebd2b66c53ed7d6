#pragma once

#include <QPointer>
#include <cstdint>
#include <vector>

class QTimer;

namespace m797::gauges {

class TGxGraphicControl;

// The process-wide blink scheduler: one 50 ms tick serves every instrument that flashes.  For
// each entry whose mode (1..16) is a bit mask over the tick counter, a change of (mode AND
// counter) since the entry's last tick sends the control the blink message: the counter, and -1
// when (mode AND counter) is non-zero, else 0.  Everything runs on the user-interface thread:
// the timer lives there, and Tick can also be driven by hand.
class TGxBlinkScheduler {
 public:
  static constexpr int kIntervalMs = 50;
  static constexpr int kBlinkMessage = 1124;  // the private message code of the blink

  static TGxBlinkScheduler& Instance();

  // Adds the control or replaces its mode.
  void Start(TGxGraphicControl* control, int mode);
  // Removes the control's entry, if any.
  void Stop(TGxGraphicControl* control);

  bool Contains(const TGxGraphicControl* control) const;
  int EntryCount() const { return static_cast<int>(entries_.size()); }
  std::uint32_t Counter() const { return counter_; }

  // One tick: advances the counter and delivers the blink messages that are due.
  void Tick();

  // The 50 ms timer runs while entries exist; switched off, only Tick advances the scheduler.
  void SetAutoTick(bool on);
  bool AutoTick() const { return auto_tick_; }

 private:
  struct Entry {
    TGxGraphicControl* control;
    int mode;
    std::uint32_t phase;  // the counter when the entry was last served
  };

  TGxBlinkScheduler() = default;
  int IndexOf(const TGxGraphicControl* control) const;
  void UpdateTimer();

  std::vector<Entry> entries_;
  std::uint32_t counter_ = 0;
  bool auto_tick_ = true;
  QPointer<QTimer> timer_;
};

// Shorthands used by the instruments.
void BlinkStart(TGxGraphicControl* control, int mode);
void BlinkStop(TGxGraphicControl* control);

}  // namespace m797::gauges
