#include "session/real_time_grant.h"

#include <atomic>

namespace m797::session {

namespace {

// Set by the program's main thread, read by whichever thread wakes the line.
std::atomic<RealTimeGrant*> process_grant{nullptr};

}  // namespace

void SetRealTimeGrant(RealTimeGrant* grant) {
  process_grant.store(grant);
}

RealTimeGrant* CurrentRealTimeGrant() {
  return process_grant.load();
}

}  // namespace m797::session
