// The far end of the serial tests on a real serial device in the virtual machine: the test's
// "master" is the host end of the device's line, which the device relay holds and works on
// request.  The slave path is the device itself.  A passive opening of the device stays here,
// so that the line settings are read from the driver, as on a pseudo-terminal through its
// master.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <stdexcept>

#include "pty_master.h"
#include "relay_port.h"
#include "relay_protocol.h"

namespace m797::serial::testing {

namespace {

constexpr int kDeviceWaitMs = 60000;  // a USB adapter put back enumerates slowly under emulation

std::string Call(const std::string& request) {
  return devices::RelayPort::Instance().Call(request);
}

// The relay's number of the far end that belongs to each passive opening.
std::mutex far_ends_mutex;
std::map<int, std::string> far_ends;

std::string FarEnd(int fd) {
  std::lock_guard lock(far_ends_mutex);
  const auto found = far_ends.find(fd);
  if (found == far_ends.end()) throw std::runtime_error("the line was closed");
  return found->second;
}

}  // namespace

PtyMaster::PtyMaster() {
  Call("plug " + devices::NamedDevice());  // a pulled adapter is put back first
  slave_path_ = devices::DeviceUnderTest(kDeviceWaitMs);
  if (slave_path_.empty()) throw std::runtime_error("the device did not appear");
  for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
    fd_ = ::open(slave_path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) usleep(20000);
  }
  if (fd_ < 0) throw std::runtime_error("cannot open " + slave_path_);
  // Raw, so that the terminal echoes nothing while the component has not set it up yet.
  termios tio{};
  tcgetattr(fd_, &tio);
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL;
  tcsetattr(fd_, TCSANOW, &tio);
  tcflush(fd_, TCIOFLUSH);
  const std::string id = Call("line " + devices::NamedDevice());
  std::lock_guard lock(far_ends_mutex);
  far_ends[fd_] = id;
}

PtyMaster::~PtyMaster() {
  if (fd_ < 0) return;
  std::string id;
  {
    std::lock_guard lock(far_ends_mutex);
    id = far_ends[fd_];
    far_ends.erase(fd_);
  }
  try {
    Call("free " + id);
  } catch (...) {
    // The relay frees it anyway when the next program greets it.
  }
  ::close(fd_);
}

// Pulls the adapter out, and returns once the driver has hung its terminal up, as closing a
// pseudo-terminal's master hangs the slave up before it returns.  (The machine's kernel learns
// of the unplugged device a while after QEMU has removed it.)
void PtyMaster::Close() {
  Call("close " + FarEnd(fd_));
  pollfd p{fd_, POLLIN, 0};
  for (int waited = 0; waited < kDeviceWaitMs; waited += 10) {
    if (::poll(&p, 1, 10) > 0 && (p.revents & (POLLHUP | POLLERR))) return;
  }
  throw std::runtime_error("the driver did not notice the pulled adapter");
}

void PtyMaster::Write(const Bytes& bytes) {
  Call("write " + FarEnd(fd_) + " " + relay::ToHex(bytes));
}

Bytes PtyMaster::Read(std::size_t count, std::chrono::milliseconds timeout) {
  return relay::FromHex(Call("read " + FarEnd(fd_) + " " + std::to_string(count) + " " +
                             std::to_string(timeout.count())));
}

bool PtyMaster::Readable(std::chrono::milliseconds wait) {
  return Call("readable " + FarEnd(fd_) + " " + std::to_string(wait.count())) == "1";
}

}  // namespace m797::serial::testing
