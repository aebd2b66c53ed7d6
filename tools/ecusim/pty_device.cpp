#include "pty_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace m797::ecusim {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

void MakeFolders(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at == path.size() || path[at] == '/') {
      const std::string part = path.substr(0, at);
      if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) Fail("cannot create " + part);
    }
  }
}

}  // namespace

PtyDevice::PtyDevice() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) Fail("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    close(master_);
    Fail("cannot unlock the pseudo-terminal");
  }
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) {
    close(master_);
    Fail("ptsname");
  }
  slave_path_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) {
    close(master_);
    Fail("cannot open " + slave_path_);
  }
  // Raw from the start: no echo or line editing by the terminal itself.
  termios tio{};
  tcgetattr(slave_, &tio);
  cfmakeraw(&tio);
  tcsetattr(slave_, TCSANOW, &tio);
}

PtyDevice::PtyDevice(const std::string& terminal) : slave_path_(terminal) {
  master_ = open(terminal.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) Fail("cannot open " + terminal);
  termios tio{};
  if (tcgetattr(master_, &tio) != 0) {
    close(master_);
    Fail(terminal + " is no terminal");
  }
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL;
  tcsetattr(master_, TCSANOW, &tio);
  // Whatever an earlier user of the line left unread is not the tester's.
  tcflush(master_, TCIFLUSH);
}

PtyDevice::~PtyDevice() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

std::string PortsFolder() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = "/tmp";
  }
  return base + "/TARKON/ports";
}

PortLink::PortLink(const std::string& com_name, const std::string& target)
    : path_(PortsFolder() + "/" + com_name), target_(target) {
  MakeFolders(PortsFolder());
  unlink(path_.c_str());  // a stale link from an earlier run
  if (symlink(target.c_str(), path_.c_str()) != 0) Fail("cannot link " + path_);
}

PortLink::~PortLink() {
  // Only our own link: another simulator may have taken the name meanwhile.
  char buf[256];
  const ssize_t n = readlink(path_.c_str(), buf, sizeof buf - 1);
  if (n > 0 && std::string(buf, static_cast<std::size_t>(n)) == target_) unlink(path_.c_str());
}

}  // namespace m797::ecusim
