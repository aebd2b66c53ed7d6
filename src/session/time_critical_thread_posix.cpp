#include <sched.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstring>

#include "session/time_critical_thread.h"

namespace m797::session {

namespace {

// The priority within RLIMIT_RTPRIO, for a process that has the limit and not the capability.
// With the capability (or as root) the limit does not apply, so the full priority is asked for.
int PriorityWithinLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_RTPRIO, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur == 0 ||
      limit.rlim_cur >= static_cast<rlim_t>(TimeCriticalThread::kRealTimePriority)) {
    return TimeCriticalThread::kRealTimePriority;
  }
  return static_cast<int>(limit.rlim_cur);
}

}  // namespace

bool TimeCriticalThread::Raise(std::string& refusal) {
  // Thread id 0 names the calling thread alone; the process's other threads keep their class.
  const int policy = sched_getscheduler(0);
  sched_param previous{};
  if (policy < 0 || sched_getparam(0, &previous) != 0) {
    refusal = std::string("reading the thread's scheduling: ") + std::strerror(errno);
    return false;
  }
  previous_policy_ = policy;
  previous_priority_ = previous.sched_priority;
  // A thread already in a real-time class keeps it and its priority.
  const int base_policy = policy & ~SCHED_RESET_ON_FORK;
  if (base_policy == SCHED_FIFO || base_policy == SCHED_RR) return true;
  sched_param raised{};
  raised.sched_priority = PriorityWithinLimit();
  if (sched_setscheduler(0, SCHED_FIFO, &raised) != 0) {
    refusal = errno == EPERM ? std::string("not permitted: no CAP_SYS_NICE and no rtprio limit")
                             : std::string(std::strerror(errno));
    return false;
  }
  return true;
}

void TimeCriticalThread::Restore() {
  // Lowering a thread's class needs no right, so this does not fail for want of one.
  sched_param previous{};
  previous.sched_priority = previous_priority_;
  sched_setscheduler(0, previous_policy_, &previous);
}

}  // namespace m797::session
