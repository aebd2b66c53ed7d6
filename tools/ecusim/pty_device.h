#pragma once

#include <string>

namespace m797::ecusim {

// A pseudo-terminal: the simulator holds the master side; the tester opens the slave as its
// serial device.  The simulator also keeps the slave open itself, so that the tester closing and
// reopening its port does not hang up the master.  Or, for a tester in a virtual machine, a
// terminal that exists already: the host end of the machine's serial line.
class PtyDevice {
 public:
  PtyDevice();  // throws std::system_error
  // A terminal that exists already, opened raw and read and written in place of the master.
  explicit PtyDevice(const std::string& terminal);  // throws std::system_error
  ~PtyDevice();
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  int master() const { return master_; }
  const std::string& slave_path() const { return slave_path_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
};

// The folder where COM names are linked to devices: $XDG_CONFIG_HOME/TARKON/ports, with
// XDG_CONFIG_HOME defaulting to ~/.config.
std::string PortsFolder();

// A symbolic link COMn -> device in the ports folder, removed again on destruction.
class PortLink {
 public:
  PortLink(const std::string& com_name, const std::string& target);  // throws std::system_error
  ~PortLink();
  PortLink(const PortLink&) = delete;
  PortLink& operator=(const PortLink&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string target_;
};

}  // namespace m797::ecusim
