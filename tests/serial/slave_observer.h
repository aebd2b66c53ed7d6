#pragma once

#include <chrono>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace m797::serial::testing {

// A second, passive opening of the slave side.  It keeps the terminal from hanging up when the
// component closes, and shows how many received bytes wait in the slave's input queue.  On
// Windows the line relay makes the opening on the Linux side, for the newest pseudo-terminal.
class SlaveObserver {
 public:
  explicit SlaveObserver(const std::string& path);
  ~SlaveObserver();
  SlaveObserver(const SlaveObserver&) = delete;
  SlaveObserver& operator=(const SlaveObserver&) = delete;
  bool ok() const { return fd_ >= 0; }

  int Waiting() const;

  // Suspends and resumes the terminal's output, as a device that stops taking bytes would.  The
  // line relay of the Windows tests has no such request.
#ifndef _WIN32
  bool SuspendOutput() const {
    return tcflow(fd_, TCOOFF) == 0;
  }
  bool ResumeOutput() const {
    return tcflow(fd_, TCOON) == 0;
  }
#else
  bool SuspendOutput() const {
    return false;
  }
  bool ResumeOutput() const {
    return false;
  }
#endif

  // The pseudo-terminal hands bytes over to the slave asynchronously and says nothing when it
  // has; so this looks again every millisecond, for at most timeout.
  bool WaitUntilWaiting(int count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Waiting() < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

 private:
  int fd_;  // on Windows: the relay's number for the opening
};

#ifndef _WIN32
inline SlaveObserver::SlaveObserver(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}

inline SlaveObserver::~SlaveObserver() {
  if (fd_ >= 0) ::close(fd_);
}

inline int SlaveObserver::Waiting() const {
  int count = -1;
  ioctl(fd_, FIONREAD, &count);
  return count;
}
#endif

}  // namespace m797::serial::testing
