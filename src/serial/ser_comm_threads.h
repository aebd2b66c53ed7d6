#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "serial/main_thread_dispatcher.h"
#include "serial/ser_comm_buffer.h"
#include "serial/ser_critical_section.h"
#include "serial/ser_types.h"
#include "serial/serial_device.h"

namespace m797::serial {

class TSerCustomComm;

// What a component thread needs of its owner; the references outlive the thread, because the
// owner stops and joins its threads before it closes the device or goes away.
struct TSerThreadContext {
  TSerCustomComm& owner;
  TSerDevice& device;
  MainThreadDispatcher& dispatcher;
};

// Base of the two component threads: start, stop, join and priority.
class TSerCommThread {
 public:
  explicit TSerCommThread(const TSerThreadContext& context) : context_(context) {}
  virtual ~TSerCommThread();  // stops and joins
  TSerCommThread(const TSerCommThread&) = delete;
  TSerCommThread& operator=(const TSerCommThread&) = delete;

  void Start(TThreadPriority priority);
  // Asks the thread to end: ends its device waits and a hand-over it is blocked in.
  void Stop();
  // Waits until the thread has ended; its device operations have all finished by then.
  void Join();
  void SetPriority(TThreadPriority priority);

 protected:
  virtual void Execute(std::stop_token stop) = 0;
  // Called by Stop once the stop is requested: ends a wait of the thread's own that the device's
  // CancelWaits does not end.  Stop callbacks are not used for it: the C++ library of
  // mingw-w64's GCC 12 can hang for good destroying one that another thread is running.
  virtual void WakeForStop() {}
  // Hands call to the main thread and waits for it; false when the thread was stopped first.
  // The call runs inside the owner's guard, which passes any exception to the application's
  // exception handler.
  bool HandOver(std::function<void()> call, std::stop_token stop);
  // Reports, once per opening, that the device failed for good.
  void ReportDeviceLost(int error, std::stop_token stop);

  TSerThreadContext context_;

 private:
  std::mutex priority_mutex_;
  TThreadPriority priority_ = TThreadPriority::tpNormal;  // guarded by priority_mutex_
  std::uint64_t thread_id_ = 0;  // guarded by priority_mutex_; 0 while the body is not running
  HandOverWake hand_over_wake_;  // wakes a stopped thread out of its hand-over
  std::jthread thread_;
};

// Waits for line events and hands each notification to the main thread, one at a time.
class TSerCommEventThread : public TSerCommThread {
 public:
  using TSerCommThread::TSerCommThread;
  ~TSerCommEventThread() override;

  // Runs on the main thread: turns the event bits of one notification into the owner's events.
  static void DispatchEvents(TSerCustomComm& owner, std::uint32_t mask);

 private:
  void Execute(std::stop_token stop) override;
};

// Owns the write queue and drains it to the device.  Draining never waits for the main thread:
// an empty queue is reported to it, for whoever takes the report, by a call that the thread
// posts and does not wait for.
class TSerCommWriteThread : public TSerCommThread {
 public:
  // lock is the owner's WriteLock; it guards the queue.
  TSerCommWriteThread(const TSerThreadContext& context, TSerCriticalSection& lock, int capacity);
  ~TSerCommWriteThread() override;

  // Main thread: appends the bytes, waiting up to timeout_ms for room; false when there was none.
  bool QueueData(const std::uint8_t* data, int count, int timeout_ms);

 private:
  // The empty-queue report on its way to the main thread.  The posted call holds it too, as it
  // may run after the thread has gone; the thread's end withdraws it.
  struct TxEmptyReport {
    std::mutex mutex;
    bool posted = false;     // a report is queued and has not run yet
    bool withdrawn = false;  // the thread has ended; a queued report does nothing
  };

  void Execute(std::stop_token stop) override;
  void WakeForStop() override;
  void WriteDone(int written);
  // Queues one report unless one is queued already: it then stands for this drain too.
  void ReportTxEmpty();

  std::shared_ptr<TxEmptyReport> tx_empty_report_ = std::make_shared<TxEmptyReport>();
  TSerCriticalSection& lock_;
  std::condition_variable_any queue_changed_;  // with lock_: bytes appended or removed
  TSerCommBuffer buffer_;                      // guarded by lock_
};

}  // namespace m797::serial
