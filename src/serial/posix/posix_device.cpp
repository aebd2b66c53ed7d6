#include "serial/posix/posix_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "serial/posix/device_path.h"
#include "serial/posix/termios_settings.h"

namespace m797::serial {

namespace {

constexpr int kInterByteMs = 5;

TSerIoResult ErrorResult(int error) {
  return {IsDeviceLostError(static_cast<int>(error)) ? TSerIoStatus::Lost : TSerIoStatus::Failed,
          error, 0, 0};
}

// Unix 98 pseudo-terminal slaves have majors 136 to 143.
bool IsPseudoTerminal(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return false;
  const unsigned m = major(info.st_rdev);
  return m >= 136 && m <= 143;
}

unsigned long SetBits() {
  return TIOCMBIS;
}
unsigned long ClearBits() {
  return TIOCMBIC;
}

int Milliseconds(std::chrono::steady_clock::duration d) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, 1 << 30));
}

}  // namespace

std::unique_ptr<TSerDevice> OpenSerialDevice(const std::string& name, int& error) {
  const std::string path = ResolveDevicePath(name);
  if (path.empty()) {
    error = kErrorFileNotFound;
    return nullptr;
  }
  return TSerPosixDevice::Open(path, error);
}

std::unique_ptr<TSerPosixDevice> TSerPosixDevice::Open(const std::string& path, int& error) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  auto fail = [&](int code, int cancel_fd = -1) -> std::unique_ptr<TSerPosixDevice> {
    if (cancel_fd >= 0) ::close(cancel_fd);
    ::close(fd);
    error = code;
    return nullptr;
  };
  if (!isatty(fd)) return fail(ENOTTY);
  // TIOCEXCL keeps other programs out, but not root; the lock keeps out every opener that
  // honours it, root included, and this component always does.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno == EWOULDBLOCK ? EBUSY : errno);
  if (ioctl(fd, TIOCEXCL) != 0) return fail(errno);
  // Bytes that came while the port was closed (the far end keeps the line open) belong to an
  // earlier opening: a stale answer read now would be taken for the answer to the next request.
  if (tcflush(fd, TCIFLUSH) != 0) return fail(errno);

  const int cancel_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (cancel_fd < 0) return fail(errno);
  const int epoll_fd = epoll_create1(EPOLL_CLOEXEC);
  if (epoll_fd < 0) return fail(errno, cancel_fd);
  struct epoll_event cancel_event = {};
  cancel_event.events = EPOLLIN;
  cancel_event.data.fd = cancel_fd;
  if (epoll_ctl(epoll_fd, EPOLL_CTL_ADD, cancel_fd, &cancel_event) != 0) {
    const int code = errno;
    ::close(epoll_fd);
    return fail(code, cancel_fd);
  }
  error = 0;
  return std::unique_ptr<TSerPosixDevice>(
      new TSerPosixDevice(fd, cancel_fd, epoll_fd, IsPseudoTerminal(fd)));
}

TSerPosixDevice::TSerPosixDevice(int fd, int cancel_fd, int epoll_fd, bool is_pty)
    : fd_(fd), cancel_fd_(cancel_fd), epoll_fd_(epoll_fd), is_pty_(is_pty) {}

TSerPosixDevice::~TSerPosixDevice() {
  ioctl(fd_, TIOCNXCL);
  ::close(epoll_fd_);
  ::close(cancel_fd_);
  ::close(fd_);  // also releases the lock
}

int TSerPosixDevice::ApplyLineSettings(const TSerLineSettings& settings) {
  if (const int error = ApplyTermiosSettings(fd_, settings)) return error;
  // DTR and RTS follow their control mode, as a device control block sets them: at the first
  // setup of the opening and when the mode itself changes.  Any other rewrite of the settings
  // leaves them as the program put them; many adapters take their power from DTR.
  const std::uint32_t dtr = (settings.flags >> kDcbDtrControlShift) & 3;
  const std::uint32_t rts = (settings.flags >> kDcbRtsControlShift) & 3;
  if (dtr != dtr_control_) {
    if (dtr != 2) {
      if (const int error = ModemLineCall(dtr == 1 ? SetBits() : ClearBits(), TIOCM_DTR))
        return error;
    }
    dtr_control_ = dtr;
  }
  if (rts != rts_control_) {
    if (rts == 0 || rts == 1) {
      if (const int error = ModemLineCall(rts == 1 ? SetBits() : ClearBits(), TIOCM_RTS))
        return error;
    }
    rts_control_ = rts;
  }
  return 0;
}

// Linux drivers keep queues of their own size.
int TSerPosixDevice::SetBufferSizes(int, int) {
  return 0;
}

// The 5 ms interval between bytes is applied by Read itself.
int TSerPosixDevice::SetTimeouts() {
  return 0;
}

// Only received bytes and a failing device wake a waiting thread here: modem-line, break and
// error events have no notification on a terminal.
int TSerPosixDevice::SetEventMask(std::uint32_t mask) {
  struct epoll_event event = {};
  event.events = static_cast<std::uint32_t>(EPOLLET);
  if (mask & kEvRxChar) event.events |= static_cast<std::uint32_t>(EPOLLIN);
  event.data.fd = fd_;
  const int op = device_in_epoll_ ? EPOLL_CTL_MOD : EPOLL_CTL_ADD;
  if (epoll_ctl(epoll_fd_, op, fd_, &event) != 0) return errno;
  device_in_epoll_ = true;
  return 0;
}

int TSerPosixDevice::ModemLineCall(unsigned long request, int bits) {
  if (ioctl(fd_, request, &bits) == 0) return 0;
  const int error = errno;
  // A pseudo-terminal has no modem lines: the request succeeds without effect.
  if (is_pty_ && (error == ENOTTY || error == EINVAL)) return 0;
  return error;
}

int TSerPosixDevice::Escape(TSerEscape code) {
  switch (code) {
    case TSerEscape::SetDtr:
      return ModemLineCall(TIOCMBIS, TIOCM_DTR);
    case TSerEscape::ClrDtr:
      return ModemLineCall(TIOCMBIC, TIOCM_DTR);
    case TSerEscape::SetBreak:
    case TSerEscape::ClrBreak: {
      const unsigned long request = code == TSerEscape::SetBreak ? TIOCSBRK : TIOCCBRK;
      if (ioctl(fd_, request) == 0) return 0;
      const int error = errno;
      if (is_pty_ && (error == ENOTTY || error == EINVAL)) return 0;
      return error;
    }
  }
  return EINVAL;
}

int TSerPosixDevice::ClearErrors(std::uint32_t& errors, TSerComStat& status) {
  errors = 0;
  status = {};
  int in_queue = 0;
  int out_queue = 0;
  if (ioctl(fd_, FIONREAD, &in_queue) != 0) return errno;
  if (ioctl(fd_, TIOCOUTQ, &out_queue) != 0) return errno;
  status.in_queue = static_cast<std::uint32_t>(std::max(in_queue, 0));
  status.out_queue = static_cast<std::uint32_t>(std::max(out_queue, 0));

  // Drivers that count line errors report those since the last query; others have none.
  struct serial_icounter_struct now = {};
  if (ioctl(fd_, TIOCGICOUNT, &now) == 0) {
    if (counters_known_) {
      if (now.buf_overrun != counts_.buf_overrun) errors |= kCeRxOver;
      if (now.overrun != counts_.overrun) errors |= kCeOverrun;
      if (now.parity != counts_.parity) errors |= kCeRxParity;
      if (now.frame != counts_.frame) errors |= kCeFrame;
      if (now.brk != counts_.brk) errors |= kCeBreak;
    }
    counts_ = now;
    counters_known_ = true;
  }
  return 0;
}

TSerIoResult TSerPosixDevice::Read(std::uint8_t* data, int count, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  int got = 0;
  while (got < count) {
    const ssize_t n = ::read(fd_, data + got, count - got);
    if (n > 0) {
      got += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno != EAGAIN) {
      // End of file on a terminal means it was hung up.
      const int error = n == 0 ? EIO : errno;
      if (got > 0) break;
      return ErrorResult(error);
    }
    // Nothing waiting: wait for the first byte until the deadline, for a further one at most
    // the interval between bytes.
    int wait_ms = Milliseconds(deadline - Clock::now());
    if (got > 0) wait_ms = std::min(wait_ms, kInterByteMs);
    if (wait_ms <= 0) break;
    struct pollfd p = {fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, wait_ms);
    if (ready < 0 && errno != EINTR) return ErrorResult(errno);
    if (ready == 0) break;
    if ((p.revents & POLLIN) == 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
      if (got > 0) break;
      return ErrorResult(EIO);
    }
  }
  if (got == 0 && count > 0) return {TSerIoStatus::TimedOut, 0, 0, 0};
  return {TSerIoStatus::Ok, 0, got, 0};
}

TSerIoResult TSerPosixDevice::Write(const std::uint8_t* data, int count, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  int done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, data + done, count - done);
    if (n > 0) {
      done += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return ErrorResult(errno);
    const int wait_ms = Milliseconds(deadline - Clock::now());
    struct pollfd p = {fd_, POLLOUT, 0};
    const int ready = wait_ms > 0 ? ::poll(&p, 1, wait_ms) : 0;
    if (ready < 0 && errno != EINTR) return ErrorResult(errno);
    if (ready == 0) return {TSerIoStatus::TimedOut, 0, done, 0};
    if ((p.revents & POLLOUT) == 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
      return ErrorResult(EIO);
    }
  }
  return {TSerIoStatus::Ok, 0, done, 0};
}

TSerIoResult TSerPosixDevice::WaitEvent() {
  for (;;) {
    struct epoll_event events[2];
    const int n = epoll_wait(epoll_fd_, events, 2, -1);
    if (n < 0) {
      if (errno == EINTR) continue;
      return {TSerIoStatus::Lost, errno, 0, 0};
    }
    bool cancelled = false;
    bool lost = false;
    std::uint32_t mask = 0;
    for (int i = 0; i < n; ++i) {
      if (events[i].data.fd == cancel_fd_) {
        cancelled = true;
      } else {
        if (events[i].events & (EPOLLHUP | EPOLLERR)) lost = true;
        if (events[i].events & EPOLLIN) mask |= kEvRxChar;
      }
    }
    if (cancelled) return {TSerIoStatus::Cancelled, 0, 0, 0};
    // A hang-up is reported once by the edge-triggered set, so it wins over data that came
    // with it: a terminal that has hung up discards its input anyway.
    if (lost) return {TSerIoStatus::Lost, EIO, 0, 0};
    if (mask != 0) return {TSerIoStatus::Ok, 0, 0, mask};
  }
}

TSerIoResult TSerPosixDevice::WriteQueued(const std::uint8_t* data, int count) {
  for (;;) {
    const ssize_t n = ::write(fd_, data, count);
    if (n >= 0) return {TSerIoStatus::Ok, 0, static_cast<int>(n), 0};
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return ErrorResult(errno);
    struct pollfd p[2] = {{fd_, POLLOUT, 0}, {cancel_fd_, POLLIN, 0}};
    if (::poll(p, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return ErrorResult(errno);
    }
    if (p[1].revents & POLLIN) return {TSerIoStatus::Cancelled, 0, 0, 0};
    if ((p[0].revents & POLLOUT) == 0 && (p[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
      return ErrorResult(EIO);
    }
  }
}

void TSerPosixDevice::CancelWaits() {
  const std::uint64_t one = 1;
  // An eventfd write of 1 cannot fail short of an overflowing counter, which stays readable.
  [[maybe_unused]] const ssize_t written = ::write(cancel_fd_, &one, sizeof one);
}

bool IsDeviceLostError(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == EPIPE;
}

}  // namespace m797::serial
