#pragma once

#include <mutex>

namespace m797::serial {

// A lock taken with Enter and Leave; also usable with std::lock_guard and std::unique_lock.
class TSerCriticalSection {
 public:
  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }

  void lock() { Enter(); }
  void unlock() { Leave(); }

 private:
  std::mutex mutex_;
};

}  // namespace m797::serial
