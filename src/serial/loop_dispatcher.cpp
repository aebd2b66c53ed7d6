#include "serial/loop_dispatcher.h"

#include <algorithm>

namespace m797::serial {

LoopDispatcher::LoopDispatcher() : owner_(std::this_thread::get_id()) {}

void LoopDispatcher::Post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
  posted_.notify_all();
}

bool LoopDispatcher::OnMainThread() const {
  return std::this_thread::get_id() == owner_;
}

void LoopDispatcher::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  posted_.notify_all();
}

int LoopDispatcher::PendingCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(calls_.size());
}

bool LoopDispatcher::WaitForPending(int count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return posted_.wait_for(lock, timeout, [&] { return static_cast<int>(calls_.size()) >= count; });
}

bool LoopDispatcher::RunOne() {
  std::function<void()> call;
  {
    std::lock_guard lock(mutex_);
    if (calls_.empty()) return false;
    call = std::move(calls_.front());
    calls_.pop_front();
  }
  call();
  return true;
}

int LoopDispatcher::RunPending() {
  int count = 0;
  while (RunOne())
    ++count;
  return count;
}

bool LoopDispatcher::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                              std::chrono::milliseconds recheck) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    RunPending();
    if (done()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::unique_lock lock(mutex_);
    posted_.wait_until(lock, std::min(deadline, now + recheck),
                       [&] { return !calls_.empty() || woken_; });
    woken_ = false;
  }
}

void LoopDispatcher::RunFor(std::chrono::milliseconds duration) {
  RunUntil([] { return false; }, duration);
}

}  // namespace m797::serial
