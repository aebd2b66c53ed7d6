#pragma once

#include <windows.h>

namespace m797::serial {

enum class TSerWaitResult { WaitSignalled, WaitTimedOut, WaitAbandoned, WaitFailed };

// Owns a kernel handle and closes it when destroyed.
class TSerHandleObject {
 public:
  explicit TSerHandleObject(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~TSerHandleObject() {
    if (Valid()) CloseHandle(handle_);
  }
  TSerHandleObject(const TSerHandleObject&) = delete;
  TSerHandleObject& operator=(const TSerHandleObject&) = delete;

  HANDLE Handle() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  DWORD LastError() const { return last_error_; }

  TSerWaitResult WaitFor(DWORD milliseconds) {
    switch (WaitForSingleObject(handle_, milliseconds)) {
      case WAIT_OBJECT_0:
        return TSerWaitResult::WaitSignalled;
      case WAIT_TIMEOUT:
        return TSerWaitResult::WaitTimedOut;
      case WAIT_ABANDONED:
        return TSerWaitResult::WaitAbandoned;
      default:
        last_error_ = GetLastError();
        return TSerWaitResult::WaitFailed;
    }
  }

 private:
  HANDLE handle_;
  DWORD last_error_ = 0;
};

class TSerEvent : public TSerHandleObject {
 public:
  using TSerHandleObject::TSerHandleObject;
  void Set() { SetEvent(Handle()); }
  void Reset() { ResetEvent(Handle()); }
};

// An unnamed, manual-reset event, initially unsignalled.
class TSerWaitEvent : public TSerEvent {
 public:
  TSerWaitEvent() : TSerEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
};

}  // namespace m797::serial
