#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serial/loop_dispatcher.h"
#include "session/session_timer.h"

namespace m797::e2e {

using SteadyTime = std::chrono::steady_clock::time_point;

// A timer of the test's event loop, with the window timer's rules: enabling a running timer keeps
// its period; the next tick comes one interval after the handler returned.
class LoopTimer final : public session::SessionTimer {
 public:
  explicit LoopTimer(std::chrono::milliseconds interval) : interval_(interval) {}

  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

  std::optional<SteadyTime> due() const { return enabled_ ? std::optional(due_) : std::nullopt; }
  void Tick(const std::function<void()>& handler);

  int ticks = 0;

 private:
  std::chrono::milliseconds interval_;
  bool enabled_ = false;
  int starts_ = 0;
  SteadyTime due_{};
};

// The main thread of an end-to-end test: runs the serial component's hand-overs and the timers,
// one at a time, and keeps the message of every exception a handler raised (what the application
// would show in its error box).
class EventLoop {
 public:
  void AddTimer(LoopTimer& timer, std::function<void()> handler);

  // Runs until done() holds or timeout passes; returns done().
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  void RunFor(std::chrono::milliseconds duration);

  // Runs a handler as the event loop does: an exception becomes a shown error.
  void Handle(const std::function<void()>& handler);

  // Shows an error as the application's error box would.
  void ShowError(const std::string& message) { errors_.push_back(message); }

  serial::LoopDispatcher& dispatcher() { return dispatcher_; }
  const std::vector<std::string>& errors() const { return errors_; }

 private:
  bool FireDueTimer();
  bool TimerDue() const;
  std::optional<SteadyTime> NextDue() const;

  serial::LoopDispatcher dispatcher_;
  std::vector<std::pair<LoopTimer*, std::function<void()>>> timers_;
  std::vector<std::string> errors_;
};

}  // namespace m797::e2e
