// The event thread on a device whose waits keep failing, as some drivers' do after the device
// went away without saying so.  No device here fails that way, so a scripted one stands in.
#include <condition_variable>
#include <mutex>
#include <vector>

#include "port_fixture.h"
#include "serial/ser_comm_threads.h"

namespace m797::serial::testing {
namespace {

using Clock = std::chrono::steady_clock;

// A device that fails this way would otherwise keep a core busy with waits that fail at once.
constexpr auto kLeastPause = 10ms;

// Every wait fails at once until the waits are cancelled; records when each wait began.
class FailingWaitDevice final : public TSerDevice {
 public:
  int ApplyLineSettings(const TSerLineSettings&) override { return 0; }
  int SetBufferSizes(int, int) override { return 0; }
  int SetTimeouts() override { return 0; }
  int SetEventMask(std::uint32_t) override { return 0; }
  int Escape(TSerEscape) override { return 0; }
  int ClearErrors(std::uint32_t& errors, TSerComStat& status) override {
    errors = 0;
    status = {};
    return 0;
  }
  TSerIoResult Read(std::uint8_t*, int, int) override { return {TSerIoStatus::TimedOut}; }
  TSerIoResult Write(const std::uint8_t*, int, int) override { return {TSerIoStatus::TimedOut}; }
  TSerIoResult WriteQueued(const std::uint8_t*, int) override { return {TSerIoStatus::Cancelled}; }

  TSerIoResult WaitEvent() override {
    std::lock_guard lock(mutex_);
    if (cancelled_) return {TSerIoStatus::Cancelled};
    waits_.push_back(Clock::now());
    changed_.notify_all();
    return {TSerIoStatus::Failed, 995};
  }
  void CancelWaits() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }

  // The start times of the first count waits, once that many have begun.
  std::vector<Clock::time_point> WaitForWaits(std::size_t count,
                                              std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return waits_.size() >= count; });
    return {waits_.begin(), waits_.begin() + std::min(count, waits_.size())};
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool cancelled_ = false;                // guarded by mutex_
  std::vector<Clock::time_point> waits_;  // guarded by mutex_
};

TEST(EventWaitRetryTest, AFailingWaitIsTriedAgainOnlyAfterAPause) {
  LoopDispatcher dispatcher;
  TSerComm owner(dispatcher);
  FailingWaitDevice device;
  auto thread = std::make_unique<TSerCommEventThread>(TSerThreadContext{owner, device, dispatcher});
  thread->Start(TThreadPriority::tpNormal);
  const auto waits = device.WaitForWaits(4, 10s);
  ASSERT_EQ(waits.size(), 4u);
  for (std::size_t i = 1; i < waits.size(); ++i) {
    EXPECT_GE(waits[i] - waits[i - 1], kLeastPause) << "wait " << i;
  }
  thread.reset();
  EXPECT_EQ(dispatcher.PendingCount(), 0) << "a failed wait is nothing to report";
}

}  // namespace
}  // namespace m797::serial::testing
