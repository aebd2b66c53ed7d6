#include "pty_master.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace m797::serial::testing {

PtyMaster::PtyMaster() {
  fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0) {
    throw std::runtime_error("cannot open a pseudo-terminal");
  }
  char name[128];
  if (ptsname_r(fd_, name, sizeof name) != 0) throw std::runtime_error("no slave name");
  slave_path_ = name;
}

PtyMaster::~PtyMaster() {
  Close();
}

void PtyMaster::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void PtyMaster::Write(const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw std::runtime_error("write to the pseudo-terminal failed");
    done += static_cast<std::size_t>(n);
  }
}

bool PtyMaster::Readable(std::chrono::milliseconds wait) {
  struct pollfd p = {fd_, POLLIN, 0};
  return ::poll(&p, 1, static_cast<int>(wait.count())) > 0 && (p.revents & POLLIN);
}

Bytes PtyMaster::Read(std::size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  Bytes out;
  while (out.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (!Readable(std::max(left, std::chrono::milliseconds(0)))) break;
    std::uint8_t buffer[4096];
    const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
    if (n <= 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return out;
}

}  // namespace m797::serial::testing
