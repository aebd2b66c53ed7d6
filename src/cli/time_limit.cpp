#include "cli/time_limit.h"

#include <algorithm>

namespace m797::cli {

namespace {

constexpr std::chrono::milliseconds kLongestPiece = std::chrono::hours(1);

}  // namespace

TimeLimit::TimeLimit(std::function<void()> on_reached) : on_reached_(std::move(on_reached)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { ArmOrReach(); });
}

void TimeLimit::Start(std::chrono::steady_clock::duration span) {
  deadline_ = std::chrono::steady_clock::now() + span;
  ArmOrReach();
}

void TimeLimit::ArmOrReach() {
  const auto left = deadline_ - std::chrono::steady_clock::now();
  if (left <= std::chrono::steady_clock::duration::zero()) {
    on_reached_();
    return;
  }
  timer_.start(std::min(std::chrono::ceil<std::chrono::milliseconds>(left), kLongestPiece));
}

}  // namespace m797::cli
