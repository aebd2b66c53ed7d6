#pragma once

#include <QTimer>
#include <chrono>
#include <functional>

namespace m797::cli {

// Calls `on_reached` once a span of any length has passed on the steady clock.  A Qt timer holds
// at most 2^31 - 1 ms (24.8 days) and wraps beyond, so the span is waited for in pieces of at most
// an hour, each measured against the deadline.
class TimeLimit {
 public:
  explicit TimeLimit(std::function<void()> on_reached);

  void Start(std::chrono::steady_clock::duration span);

 private:
  void ArmOrReach();

  std::function<void()> on_reached_;
  std::chrono::steady_clock::time_point deadline_;
  QTimer timer_;
};

}  // namespace m797::cli
