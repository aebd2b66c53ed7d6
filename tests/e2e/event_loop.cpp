#include "event_loop.h"

#include <algorithm>
#include <exception>

namespace m797::e2e {

namespace {

SteadyTime Now() {
  return std::chrono::steady_clock::now();
}

}  // namespace

void LoopTimer::SetEnabled(bool enabled) {
  if (enabled && !enabled_) {
    due_ = Now() + interval_;
    ++starts_;
  }
  enabled_ = enabled;
}

void LoopTimer::Tick(const std::function<void()>& handler) {
  const int starts_before = starts_;
  ++ticks;
  handler();
  if (enabled_ && starts_ == starts_before) due_ = Now() + interval_;
}

void EventLoop::AddTimer(LoopTimer& timer, std::function<void()> handler) {
  timers_.emplace_back(&timer, std::move(handler));
}

void EventLoop::Handle(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}

std::optional<SteadyTime> EventLoop::NextDue() const {
  std::optional<SteadyTime> next;
  for (const auto& [timer, handler] : timers_) {
    if (auto due = timer->due(); due && (!next || *due < *next)) next = due;
  }
  return next;
}

bool EventLoop::TimerDue() const {
  const auto next = NextDue();
  return next && *next <= Now();
}

bool EventLoop::FireDueTimer() {
  for (auto& [timer, handler] : timers_) {
    if (auto due = timer->due(); due && *due <= Now()) {
      timer->Tick([&] { Handle(handler); });
      return true;
    }
  }
  return false;
}

bool EventLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const SteadyTime deadline = Now() + timeout;
  while (!done()) {
    if (FireDueTimer()) continue;
    const SteadyTime now = Now();
    if (now >= deadline) return false;
    SteadyTime until = deadline;
    if (auto due = NextDue()) until = std::min(until, *due);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now);
    // A call run meanwhile may start a timer, so the wait also ends when any timer falls due.
    dispatcher_.RunUntil([&] { return done() || TimerDue(); },
                         std::max(wait, std::chrono::milliseconds(0)),
                         std::chrono::milliseconds(1));
  }
  return true;
}

void EventLoop::RunFor(std::chrono::milliseconds duration) {
  RunUntil([] { return false; }, duration);
}

}  // namespace m797::e2e
