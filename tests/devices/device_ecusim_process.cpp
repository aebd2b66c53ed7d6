// The simulator of the end-to-end tests for a tester in the virtual machine: the device relay
// runs it on the host, at the host end of the device's line, and keeps its frame log.  Here the
// COM name is linked to the device, in the ports folder of the current XDG_CONFIG_HOME.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "ecusim_process.h"
#include "relay_port.h"

namespace m797::e2e {

namespace {

namespace fs = std::filesystem;

std::string Call(const std::string& request) {
  return devices::RelayPort::Instance().Call(request);
}

fs::path PortLink(const std::string& com_name) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  return fs::path(config ? config : "/tmp") / "TARKON" / "ports" / com_name;
}

// Points the COM name at the device as it is now.
std::string LinkDevice(const fs::path& link) {
  const std::string device = devices::DeviceUnderTest();
  if (device.empty()) return "";
  std::error_code ignored;
  fs::create_directories(link.parent_path(), ignored);
  fs::remove(link, ignored);
  fs::create_symlink(device, link, ignored);
  return device;
}

}  // namespace

EcusimProcess::EcusimProcess(const std::string&, std::vector<std::string> args) {
  std::string com_name = "COM1";
  const auto port = std::find(args.begin(), args.end(), "--port");
  if (port != args.end() && port + 1 != args.end()) {
    com_name = *(port + 1);
    args.erase(port, port + 2);
  }
  log_path_ = PortLink(com_name).string();
  Call("plug " + devices::NamedDevice());  // an adapter an earlier program pulled is put back
  std::string request = "sim " + devices::NamedDevice();
  for (const std::string& a : args)
    request += " " + a;
  Call(request);
  pid_ = 1;  // running, on the host
}

EcusimProcess::~EcusimProcess() {
  try {
    Stop();
  } catch (...) {
    // The relay stops it anyway when the next program greets it.
  }
}

const std::vector<LoggedFrame>& EcusimProcess::Frames() {
  std::istringstream in(Call("sim-frames"));
  frames_ = ParseFrameLog(in);
  return frames_;
}

// The simulator's lines, with each "serving" line told as the link of the COM name to the
// device.  After the simulator has hung up and served its end again, the relay has put the
// adapter back; the line counts once the device has appeared in the machine.
std::vector<std::string> EcusimProcess::StatusLines() {
  std::istringstream in(Call("sim-status"));
  std::vector<std::string> lines;
  bool hung_up = false;
  for (std::string line; std::getline(in, line);) {
    if (line.find("hanging up") != std::string::npos) hung_up = true;
    if (line.find(" serving ") != std::string::npos) {
      const std::string device = LinkDevice(log_path_);
      if (device.empty() && hung_up) break;
      line = "ecusim: linked at " + log_path_ + " -> " + device + " (" + line + ")";
    }
    lines.push_back(line);
  }
  return lines;
}

int EcusimProcess::Stop() {
  if (pid_ <= 0) return 0;
  pid_ = -1;
  std::error_code ignored;
  fs::remove(log_path_, ignored);
  return std::stoi(Call("sim-stop"));
}

}  // namespace m797::e2e
