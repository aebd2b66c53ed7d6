#include <windows.h>

#include "serial/serial_device.h"

namespace m797::serial {

std::uint64_t CurrentThreadId() {
  return GetCurrentThreadId();
}

void SetThreadPriorityById(std::uint64_t thread_id, TThreadPriority priority) {
  const HANDLE thread = OpenThread(THREAD_SET_INFORMATION, FALSE, static_cast<DWORD>(thread_id));
  if (thread == nullptr) return;
  SetThreadPriority(thread, PlatformPriority(priority));
  CloseHandle(thread);
}

}  // namespace m797::serial
