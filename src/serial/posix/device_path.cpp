#include "serial/posix/device_path.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string_view>

namespace m797::serial {

namespace {

std::string ConfigDirectory() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config";
  return {};
}

// n of "COM<n>" with n from 1 up; 0 for any other name.
unsigned long ComNumber(std::string_view name) {
  if (name.size() < 4 || name.size() > 12 || name.substr(0, 3) != "COM") return 0;
  unsigned long n = 0;
  for (char c : name.substr(3)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<unsigned long>(c - '0');
  }
  return n;
}

}  // namespace

std::string ResolveDevicePath(const std::string& name) {
  if (name.empty()) return {};
  if (name.front() == '/') return name;
  // Anything else is a bare port name; one that could climb out of the ports folder names
  // nothing.
  if (name.find('/') != std::string::npos || name == "." || name == "..") return {};

  const std::string config = ConfigDirectory();
  if (!config.empty()) {
    const std::string link = config + "/TARKON/ports/" + name;
    struct stat info;
    if (lstat(link.c_str(), &info) == 0) return link;
  }
  if (const unsigned long n = ComNumber(name); n > 0) {
    return "/dev/ttyUSB" + std::to_string(n - 1);
  }
  return {};
}

}  // namespace m797::serial
