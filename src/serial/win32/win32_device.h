#pragma once

#include <memory>
#include <string>

#include "serial/serial_device.h"
#include "serial/win32/ser_handles.h"

namespace m797::serial {

// A COM device opened exclusively for overlapped I/O.  Each thread has its own completion event;
// an operation that is given up is cancelled and waited for before the call returns, so no
// pending operation outlives the record and the buffer it writes to.
class TSerWin32Device : public TSerDevice {
 public:
  static std::unique_ptr<TSerWin32Device> Open(const std::string& path, int& error);

  int ApplyLineSettings(const TSerLineSettings& settings) override;
  int SetBufferSizes(int read_size, int write_size) override;
  int SetTimeouts() override;
  int SetEventMask(std::uint32_t mask) override;
  int Escape(TSerEscape code) override;
  int ClearErrors(std::uint32_t& errors, TSerComStat& status) override;
  TSerIoResult Read(std::uint8_t* data, int count, int timeout_ms) override;
  TSerIoResult Write(const std::uint8_t* data, int count, int timeout_ms) override;
  TSerIoResult WaitEvent() override;
  TSerIoResult WriteQueued(const std::uint8_t* data, int count) override;
  void CancelWaits() override;

  // Reads the line settings back from the driver (GetCommState), into the record the component
  // builds; 0 or the platform error code.
  int ReadLineSettings(TSerLineSettings& settings);
  // Reads whether the DTR and RTS output lines are raised; 0 or the platform error code.
  int ReadOutputLines(bool& dtr, bool& rts);

 private:
  explicit TSerWin32Device(HANDLE handle) : handle_(handle) {}
  // A read or direct write of the main thread: start(record) starts it, with the thread's
  // completion event, and it is finished within timeout_ms as FinishWithin does.
  template <typename Start>
  TSerIoResult TransferWithin(Start start, int timeout_ms);
  // Waits up to timeout_ms for an operation started with record; cancels it when the time runs
  // out, and returns its result once it has ended.
  TSerIoResult FinishWithin(OVERLAPPED& record, TSerWaitEvent& event, DWORD timeout_ms);
  // Waits for an operation started with record, or for CancelWaits, which cancels it.
  TSerIoResult FinishUnlessCancelled(OVERLAPPED& record, TSerWaitEvent& event);
  void CancelAndWait(OVERLAPPED& record);
  // A wait for line events that the driver ended aborted: the device has gone, or the driver
  // ends waits it cannot serve (Wine does so every few milliseconds on a pseudo-terminal, whose
  // modem lines it cannot read).  A device that still answers a query of its line settings is
  // there, and the wait is a passing failure.
  TSerIoResult AbortedWait();

  TSerHandleObject handle_;
  TSerWaitEvent io_event_;          // main thread: reads and direct writes
  TSerWaitEvent wait_event_;        // event thread
  TSerWaitEvent overlapped_event_;  // write thread
  TSerWaitEvent cancel_event_;      // set by CancelWaits, never reset
};

}  // namespace m797::serial
