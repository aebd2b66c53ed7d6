#include <windows.h>
// after windows.h
#include <timeapi.h>

#include "session/time_critical_thread.h"

namespace m797::session {

bool TimeCriticalThread::Raise(std::string& refusal) {
  const HANDLE thread = GetCurrentThread();
  const int previous = GetThreadPriority(thread);
  if (previous == THREAD_PRIORITY_ERROR_RETURN ||
      !SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL)) {
    refusal = "the thread's priority could not be raised";
    return false;
  }
  previous_priority_ = previous;
  // The system wakes sleeping threads on its timer tick, 15.6 ms by default: a 1 ms tick lets the
  // phase's sleep end where it was asked to.
  timer_resolution_raised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  return true;
}

void TimeCriticalThread::Restore() {
  if (timer_resolution_raised_) timeEndPeriod(1);
  SetThreadPriority(GetCurrentThread(), previous_priority_);
}

}  // namespace m797::session
