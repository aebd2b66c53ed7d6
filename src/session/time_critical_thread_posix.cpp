#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "session/real_time_grant.h"
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

bool IsRealTime(int policy) {
  const int base_policy = policy & ~SCHED_RESET_ON_FORK;
  return base_policy == SCHED_FIFO || base_policy == SCHED_RR;
}

// Asks the process's grantor, if the program set one, to do what the system refused the thread:
// RealtimeKit grants the class to a plain user.  The grantor may give SCHED_RR, as RealtimeKit
// does by default; for the one thread of its priority that holds it, that is SCHED_FIFO.
bool RaisedByGrant(std::string& refusal) {
  RealTimeGrant* grant = CurrentRealTimeGrant();
  if (grant == nullptr) return false;
  std::string grant_refusal;
  if (!grant->MakeThreadRealTime(static_cast<std::uint64_t>(gettid()),
                                 TimeCriticalThread::kRealTimePriority, grant_refusal)) {
    refusal += "; asked RealtimeKit: " + grant_refusal;
    return false;
  }
  if (!IsRealTime(sched_getscheduler(0))) {
    refusal += "; RealtimeKit answered, but the thread is not in a real-time class";
    return false;
  }
  return true;
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
  if (IsRealTime(policy)) return true;
  sched_param raised{};
  raised.sched_priority = PriorityWithinLimit();
  if (sched_setscheduler(0, SCHED_FIFO, &raised) == 0) return true;
  if (errno != EPERM) {
    refusal = std::strerror(errno);
    return false;
  }
  refusal = "not permitted: no CAP_SYS_NICE and no rtprio limit";
  return RaisedByGrant(refusal);
}

void TimeCriticalThread::Restore() {
  // Lowering a thread's class needs no right, so this does not fail for want of one.  Clearing
  // SCHED_RESET_ON_FORK does need CAP_SYS_NICE, and RealtimeKit sets it with the class, so the
  // flag stays where the thread has it.
  int policy = previous_policy_;
  const int current = sched_getscheduler(0);
  if (current >= 0) policy |= current & SCHED_RESET_ON_FORK;
  sched_param previous{};
  previous.sched_priority = previous_priority_;
  sched_setscheduler(0, policy, &previous);
}

}  // namespace m797::session
