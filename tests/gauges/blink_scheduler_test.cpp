#include "gauges/blink_scheduler.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "gauges/graphic_control.h"

namespace m797::gauges {
namespace {

class BlinkRecorder : public TGxGraphicControl {
 public:
  std::vector<int> states;
  std::function<void()> on_blink;
  void BlinkMessage(std::uint32_t, int state) override {
    states.push_back(state);
    if (on_blink) on_blink();
  }
};

TGxBlinkScheduler& Scheduler() {
  return TGxBlinkScheduler::Instance();
}

void Ticks(int n) {
  for (int i = 0; i < n; ++i)
    Scheduler().Tick();
}

// Starts the control at a tick where (4 AND counter) has just changed, so that the next message
// comes exactly 4 ticks later.
void StartAlignedToMode4(TGxGraphicControl* control) {
  while ((Scheduler().Counter() & 3u) != 0)
    Scheduler().Tick();
  BlinkStart(control, 4);
}

TEST(BlinkScheduler, Mode4TogglesEveryFourTicks) {
  BlinkRecorder r;
  StartAlignedToMode4(&r);
  const bool bit_set = (Scheduler().Counter() & 4u) != 0;
  Ticks(3);
  EXPECT_TRUE(r.states.empty());
  Ticks(1);
  ASSERT_EQ(r.states.size(), 1u);
  EXPECT_EQ(r.states[0], bit_set ? 0 : -1);
  Ticks(4);
  ASSERT_EQ(r.states.size(), 2u);
  EXPECT_EQ(r.states[1], bit_set ? -1 : 0);
  Ticks(8);
  EXPECT_EQ(r.states.size(), 4u);
  BlinkStop(&r);
}

TEST(BlinkScheduler, StartReplacesTheModeStopRemoves) {
  BlinkRecorder r;
  const int before = Scheduler().EntryCount();
  BlinkStart(&r, 4);
  BlinkStart(&r, 1);  // mode 1: every tick
  EXPECT_EQ(Scheduler().EntryCount(), before + 1);
  Ticks(3);
  EXPECT_EQ(r.states.size(), 3u);
  BlinkStop(&r);
  EXPECT_FALSE(Scheduler().Contains(&r));
  Ticks(3);
  EXPECT_EQ(r.states.size(), 3u);
  BlinkStop(&r);  // stopping twice is harmless
}

TEST(BlinkScheduler, ModesOutsideOneToSixteenNeverBlink) {
  BlinkRecorder zero;
  BlinkRecorder big;
  BlinkStart(&zero, 0);
  BlinkStart(&big, 17);
  Ticks(64);
  EXPECT_TRUE(zero.states.empty());
  EXPECT_TRUE(big.states.empty());
  BlinkStop(&zero);
  BlinkStop(&big);
}

TEST(BlinkScheduler, DestroyedControlIsNeverCalled) {
  auto r = std::make_unique<BlinkRecorder>();
  BlinkStart(r.get(), 1);
  const TGxGraphicControl* address = r.get();
  r.reset();  // the destructor removes the entry
  EXPECT_FALSE(Scheduler().Contains(address));
  Ticks(4);  // would touch freed memory otherwise (caught by AddressSanitizer)
}

TEST(BlinkScheduler, HandlersMayStopThemselvesAndOthersDuringATick) {
  auto a = std::make_unique<BlinkRecorder>();
  auto b = std::make_unique<BlinkRecorder>();
  BlinkRecorder c;
  BlinkStart(a.get(), 1);
  BlinkStart(b.get(), 1);
  BlinkStart(&c, 1);
  // a destroys b (which leaves the scheduler) and stops itself during the same tick.
  a->on_blink = [&] {
    b.reset();
    BlinkStop(a.get());
  };
  Ticks(1);
  EXPECT_EQ(a->states.size(), 1u);
  EXPECT_FALSE(Scheduler().Contains(a.get()));
  EXPECT_EQ(c.states.size(), 1u);
  BlinkStop(&c);
}

TEST(BlinkScheduler, AFaultingEntryIsSkippedOthersAreServed) {
  BlinkRecorder faulty;
  BlinkRecorder fine;
  faulty.on_blink = [] { throw std::runtime_error("fault"); };
  BlinkStart(&faulty, 1);
  BlinkStart(&fine, 1);
  Ticks(2);
  EXPECT_EQ(fine.states.size(), 2u);
  EXPECT_TRUE(Scheduler().Contains(&faulty));
  BlinkStop(&faulty);
  BlinkStop(&fine);
}

}  // namespace
}  // namespace m797::gauges
