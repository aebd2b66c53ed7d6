#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "serial/posix/device_path.h"
#include "serial/serial_device.h"

namespace m797::serial {

namespace {

// The name of the group, or its number when the system knows no name for it.
std::string GroupName(gid_t gid) {
  std::vector<char> buffer(4096);
  struct group entry;
  struct group* found = nullptr;
  while (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < (1u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  return found ? std::string(found->gr_name) : std::to_string(gid);
}

// The device node behind a path that may be a link, as in the ports folder.
std::string DeviceNode(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

std::string OpenFailureAdvice(const std::string& name, int error) {
  if (error != EACCES && error != EPERM) return {};
  const std::string path = ResolveDevicePath(name);
  if (path.empty()) return {};
  const std::string node = DeviceNode(path);
  struct stat info;
  if (stat(node.c_str(), &info) != 0) return {};
  // Serial devices are usually opened through their group (dialout on Debian and Ubuntu,
  // uucp on others); where the group may not, only the owner can.
  if ((info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
    return "Your user has no right to open " + node + ".";
  }
  const std::string group = GroupName(info.st_gid);
  return "To open " + node + " your user must be in the group " + group +
         " that owns it (sudo usermod -aG " + group + " $USER, then log in again).";
}

}  // namespace m797::serial
