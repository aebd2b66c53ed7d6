#include "serial/ser_comm_threads.h"

#include "serial/ser_comm.h"
#include "serial/ser_deadline.h"

namespace m797::serial {

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
    Execute(stop);
  });
}

void TSerCommThread::Stop() {
  thread_.request_stop();
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
  return context_.dispatcher.Invoke(
      [&owner, call = std::move(call)] {
        try {
          call();
        } catch (...) {
          owner.HandleCurrentException();
        }
      },
      stop);
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
        break;  // a passing failure: wait again
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
        WriteDone(result.count, stop);
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

void TSerCommWriteThread::WriteDone(int written, std::stop_token stop) {
  bool empty = false;
  {
    std::lock_guard guard(lock_);
    buffer_.Remove(written);
    empty = buffer_.Size() <= 0;
  }
  queue_changed_.notify_all();
  if (empty) {
    TSerCustomComm& owner = context_.owner;
    HandOver([&owner] { owner.HandleLineEvents(kEvTxEmpty); }, stop);
  }
}

}  // namespace m797::serial
