#include "serial/ser_comm_threads.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "serial/ser_comm.h"
#include "serial/ser_deadline.h"

namespace m797::serial {

namespace {

constexpr std::chrono::milliseconds kFailedWaitPause(20);

// How often a pause looks whether the thread has been stopped.
constexpr std::chrono::milliseconds kStopLookInterval(2);

// Waits for pause or until the thread is stopped; false when it was stopped.  Sleeps in short
// slices rather than on a stop callback, which the C++ library of mingw-w64's GCC 12 can hang
// on (see the hand-over's wait).
bool PauseUnlessStopped(std::chrono::milliseconds pause, std::stop_token stop) {
  const auto until = std::chrono::steady_clock::now() + pause;
  while (!stop.stop_requested()) {
    const auto left = until - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return true;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(left, kStopLookInterval));
  }
  return false;
}

// Runs call on the main thread for owner; an exception goes to the application's handler.
template <class Call>
void RunGuarded(TSerCustomComm& owner, const Call& call) {
  try {
    call();
  } catch (...) {
    owner.HandleCurrentException();
  }
}

}  // namespace

TSerCommThread::~TSerCommThread() {
  Stop();
  Join();
}

void TSerCommThread::Start(TThreadPriority priority) {
  {
    std::lock_guard lock(priority_mutex_);
    priority_ = priority;
  }
  thread_ = std::jthread([this](std::stop_token stop) {
    {
      std::lock_guard lock(priority_mutex_);
      thread_id_ = CurrentThreadId();
      SetThreadPriorityById(thread_id_, priority_);
    }
    // Once the body has returned the id is free for the system to give to another thread, so it
    // is forgotten before; a priority set from then on is kept for the next thread.
    struct ForgetId {
      TSerCommThread& thread;
      ~ForgetId() {
        std::lock_guard lock(thread.priority_mutex_);
        thread.thread_id_ = 0;
      }
    } forget_id{*this};
    Execute(stop);
  });
}

void TSerCommThread::Stop() {
  thread_.request_stop();
  hand_over_wake_.Wake();
  context_.device.CancelWaits();
  WakeForStop();
}

void TSerCommThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void TSerCommThread::SetPriority(TThreadPriority priority) {
  std::lock_guard lock(priority_mutex_);
  priority_ = priority;
  if (thread_id_ != 0) SetThreadPriorityById(thread_id_, priority);
}

bool TSerCommThread::HandOver(std::function<void()> call, std::stop_token stop) {
  TSerCustomComm& owner = context_.owner;
  return context_.dispatcher.Invoke([&owner, call = std::move(call)] { RunGuarded(owner, call); },
                                    stop, &hand_over_wake_);
}

void TSerCommThread::ReportDeviceLost(int error, std::stop_token stop) {
  TSerCustomComm& owner = context_.owner;
  HandOver([&owner, error] { owner.HandleDeviceLost(error); }, stop);
}

TSerCommEventThread::~TSerCommEventThread() {
  Stop();
  Join();
}

void TSerCommEventThread::Execute(std::stop_token stop) {
  TSerCustomComm& owner = context_.owner;
  while (!stop.stop_requested()) {
    const TSerIoResult result = context_.device.WaitEvent();
    switch (result.status) {
      case TSerIoStatus::Ok:
        // The next wait starts only once the main thread is done with this notification.
        if (stop.stop_requested()) return;
        if (result.events == 0) break;  // the mask was changed under the wait
        HandOver([&owner, mask = result.events] { DispatchEvents(owner, mask); }, stop);
        break;
      case TSerIoStatus::Lost:
        ReportDeviceLost(result.error, stop);
        return;
      case TSerIoStatus::Cancelled:
        return;
      case TSerIoStatus::TimedOut:
      case TSerIoStatus::Failed:
        // A passing failure: wait again, after a pause, as a device that keeps failing at once
        // would otherwise keep a core busy.
        if (!PauseUnlessStopped(kFailedWaitPause, stop)) return;
        break;
    }
  }
}

void TSerCommEventThread::DispatchEvents(TSerCustomComm& owner, std::uint32_t mask) {
  if (!owner.PortOpen()) return;
  const std::uint64_t opening = owner.OpenCount();
  if (TSerDisplay* display = owner.Display()) display->RefreshFromLine(owner);
  if (mask & kEvRxChar) {
    owner.HandleRxChar();
    mask &= ~kEvRxChar;
    // The handler may have closed the port, or closed and opened it again.
    if (!owner.PortOpen() || owner.OpenCount() != opening) return;
  }
  if (mask != 0) owner.HandleLineEvents(mask);
}

TSerCommWriteThread::TSerCommWriteThread(const TSerThreadContext& context,
                                         TSerCriticalSection& lock, int capacity)
    : TSerCommThread(context), lock_(lock), buffer_(capacity) {}

TSerCommWriteThread::~TSerCommWriteThread() {
  {
    std::lock_guard guard(tx_empty_report_->mutex);
    tx_empty_report_->withdrawn = true;
  }
  Stop();
  Join();
}

bool TSerCommWriteThread::QueueData(const std::uint8_t* data, int count, int timeout_ms) {
  std::unique_lock guard(lock_);
  if (!buffer_.Fits(count)) {
    TSerDeadline deadline;
    deadline.Set(static_cast<std::uint32_t>(timeout_ms));
    while (!buffer_.Fits(count)) {
      if (deadline.Expired()) return false;
      queue_changed_.wait_for(guard, std::chrono::milliseconds(deadline.Remaining()));
    }
  }
  buffer_.Append(data, count);
  guard.unlock();
  queue_changed_.notify_all();
  return true;
}

void TSerCommWriteThread::Execute(std::stop_token stop) {
  TSerCustomComm& owner = context_.owner;
  while (!stop.stop_requested()) {
    const std::uint8_t* data = nullptr;
    int size = 0;
    {
      std::unique_lock guard(lock_);
      queue_changed_.wait(guard, [&] { return stop.stop_requested() || buffer_.Size() > 0; });
      if (stop.stop_requested()) return;
      // The main thread only appends behind Size and only this thread removes, so the bytes
      // written from the block in place stay where they are.
      data = buffer_.Data();
      size = buffer_.Size();
    }
    const TSerIoResult result = context_.device.WriteQueued(data, size);
    switch (result.status) {
      case TSerIoStatus::Ok:
        WriteDone(result.count);
        break;
      case TSerIoStatus::Lost:
        ReportDeviceLost(result.error, stop);
        return;
      case TSerIoStatus::Cancelled:
        return;
      case TSerIoStatus::TimedOut:
      case TSerIoStatus::Failed:
        // The owner reads and reports the line errors; the same bytes are written again.
        HandOver([&owner] { owner.HandleLineEvents(kEvErr); }, stop);
        break;
    }
  }
}

void TSerCommWriteThread::WakeForStop() {
  // The stop is requested before the lock is taken, and the idle wait looks at it under the
  // lock: so the wait either sees it or is already waiting for this notification.  ClosePort
  // holds the ReadLock meanwhile; nothing takes the ReadLock while holding this one.
  { std::lock_guard guard(lock_); }
  queue_changed_.notify_all();
}

void TSerCommWriteThread::WriteDone(int written) {
  bool empty = false;
  {
    std::lock_guard guard(lock_);
    buffer_.Remove(written);
    empty = buffer_.Size() <= 0;
  }
  queue_changed_.notify_all();
  if (empty && context_.owner.TxEmptyWanted()) ReportTxEmpty();
}

void TSerCommWriteThread::ReportTxEmpty() {
  {
    std::lock_guard guard(tx_empty_report_->mutex);
    if (tx_empty_report_->posted || tx_empty_report_->withdrawn) return;
    tx_empty_report_->posted = true;
  }
  // Posted behind the thread's earlier hand-overs, so the main thread sees them in order.  The
  // thread is withdrawn on the main thread, where the report runs, so the owner is still there
  // whenever a report finds itself not withdrawn.
  TSerCustomComm& owner = context_.owner;
  context_.dispatcher.Post([report = tx_empty_report_, &owner] {
    {
      std::lock_guard guard(report->mutex);
      report->posted = false;
      if (report->withdrawn) return;
    }
    RunGuarded(owner, [&owner] { owner.HandleLineEvents(kEvTxEmpty); });
  });
}

}  // namespace m797::serial
