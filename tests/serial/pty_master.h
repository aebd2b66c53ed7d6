#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace m797::serial::testing {

using Bytes = std::vector<std::uint8_t>;

// The master side of a pseudo-terminal: the test plays the adapter on it, while the component
// opens the slave side by its path.  On Windows the line relay on the Linux side of Wine holds
// the master, and the slave path is the COM name that Wine maps to the slave.
class PtyMaster {
 public:
  PtyMaster();
  ~PtyMaster();
  PtyMaster(const PtyMaster&) = delete;
  PtyMaster& operator=(const PtyMaster&) = delete;

  const std::string& SlavePath() const { return slave_path_; }
  int fd() const { return fd_; }

  void Write(const Bytes& bytes);
  // Reads until count bytes have come or timeout has passed; returns what came.
  Bytes Read(std::size_t count, std::chrono::milliseconds timeout);
  // True when a byte becomes readable within wait.
  bool Readable(std::chrono::milliseconds wait);
  // Hangs up the terminal, as an unplugged adapter would.
  void Close();

  // The slave's line settings as the kernel holds them.
  struct LineSettings {
    unsigned input_speed = 0;
    unsigned output_speed = 0;
    int data_bits = 0;
    bool parity = false;
    bool two_stop_bits = false;
    bool raw = false;           // no canonical mode, echo, signals or output processing
    bool flow_control = false;  // any of RTS/CTS, XON/XOFF
  };
  LineSettings ReadLineSettings() const;

 private:
  int fd_ = -1;  // on Windows: the relay's number for the master it holds
  std::string slave_path_;
};

}  // namespace m797::serial::testing
