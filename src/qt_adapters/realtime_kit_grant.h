#pragma once

#ifndef _WIN32
#include <mutex>
#endif

#include "session/real_time_grant.h"

namespace m797::qt_adapters {

#ifdef _WIN32

// Windows raises a thread's priority for any process: there is nobody to ask.
class RealtimeKitGrant {
 public:
  RealtimeKitGrant() {}
};

#else

// The desktop's RealtimeKit service (org.freedesktop.RealtimeKit1 on the system bus), which puts
// a thread of a plain user's process into the real-time class, as it does for sound servers.
// While one lives it is the process's RealTimeGrant: declare one in main(), after the
// application object and before any session.
//
// RealtimeKit serves a process whose RLIMIT_RTTIME is at most its RTTimeUSecMax, so that a
// thread that spins in the real-time class is stopped by the kernel; the first request sets the
// limit to that.  The thread gets the class with SCHED_RESET_ON_FORK, and may always lower itself
// back to the ordinary class.
class RealtimeKitGrant final : public session::RealTimeGrant {
 public:
  // How long a request waits for the service's answer.  RealtimeKit asks polkit before it
  // answers; on a busy machine that takes a few milliseconds.
  static constexpr int kAnswerTimeoutMs = 500;

  RealtimeKitGrant();
  ~RealtimeKitGrant() override;
  RealtimeKitGrant(const RealtimeKitGrant&) = delete;
  RealtimeKitGrant& operator=(const RealtimeKitGrant&) = delete;

  bool MakeThreadRealTime(std::uint64_t thread_id, int priority, std::string& refusal) override;

 private:
  // The service's limits, read once from its properties.
  bool ReadLimits(std::string& refusal);

  std::mutex mutex_;  // guards what follows; a request may come from any thread
  bool limits_read_ = false;
  int max_priority_ = 0;
  long long rttime_usec_max_ = 0;
};

#endif

}  // namespace m797::qt_adapters
