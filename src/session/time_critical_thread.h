#pragma once

#include <string>

namespace m797::session {

// Puts the calling thread into the system's time-critical class and back, for a span of a few
// milliseconds.  On Linux the real-time class SCHED_FIFO at a modest priority, which a process
// may take as root, with CAP_SYS_NICE or with an RLIMIT_RTPRIO above zero (limits.conf's
// "rtprio"), and else asks the process's RealTimeGrant (RealtimeKit) for; on Windows the
// thread's time-critical priority and a 1 ms system timer resolution.
class TimeCriticalThread {
 public:
  // The real-time priority taken on Linux: above every thread of the ordinary class, below the
  // kernel's interrupt threads (50) and within the limit a desktop grants a plain user.
  static constexpr int kRealTimePriority = 10;

  // Raises the calling thread.  False where the system refuses, with the reason in `refusal`;
  // the thread then runs as before.
  bool Raise(std::string& refusal);
  // Gives the calling thread back the class and priority it had before the last Raise that
  // returned true.  Call it on the thread that raised itself.
  void Restore();

 private:
  int previous_policy_ = 0;    // Linux: the class the thread had before
  int previous_priority_ = 0;  // its priority within that class (on Windows, its priority)
#ifdef _WIN32
  bool timer_resolution_raised_ = false;  // the 1 ms timer resolution is asked for
#endif
};

}  // namespace m797::session
