#pragma once

#include <cstdint>
#include <string>

namespace m797::session {

// Someone outside the process who may put one of its threads into the real-time class when the
// process may not do it itself: on a Linux desktop the RealtimeKit service, which grants it to a
// plain user as it does to sound servers.  The program sets one for the whole process; the
// session's time-critical spans ask it only where the system refuses the class directly.
class RealTimeGrant {
 public:
  virtual ~RealTimeGrant() = default;
  // Puts the thread `thread_id` (the kernel's id of a thread of this process) into a real-time
  // class at `priority`, or at the highest priority the grantor allows if that is lower.  Blocks
  // until the grantor has answered.  False where it refuses or cannot be reached, with the reason
  // in `refusal`.
  virtual bool MakeThreadRealTime(std::uint64_t thread_id, int priority, std::string& refusal) = 0;
};

// The process's grantor: none (nullptr) until the program sets one.  Set it before any session
// runs, and take it away (nullptr) only after the last has ended; it must live that long.
void SetRealTimeGrant(RealTimeGrant* grant);
RealTimeGrant* CurrentRealTimeGrant();

}  // namespace m797::session
