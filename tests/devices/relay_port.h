#pragma once

#include <mutex>
#include <string>

namespace m797::devices {

// The guest's line to the device relay on the host: a virtio serial port, named by the variable
// M797_DEVICE_RELAY (one per device under test), that carries the line relay's protocol.  One test
// program at a time holds the port; its first call greets the relay, which then frees whatever an
// earlier program made and notes the program's label (M797_DEVICE_LABEL) with the time, for the
// wake-up analysis. Requests and answers are as in relay_protocol.h.
class RelayPort {
 public:
  static RelayPort& Instance();

  // Sends one request line and returns the payload of an "ok" answer; an "error" answer, or a
  // broken port, raises std::runtime_error with its text.
  std::string Call(const std::string& request);

 private:
  RelayPort();
  ~RelayPort();
  RelayPort(const RelayPort&) = delete;
  RelayPort& operator=(const RelayPort&) = delete;
  std::string Exchange(const std::string& request);
  std::string ReceiveLine();
  std::string Receive(std::size_t count);
  void ReadMore();

  std::mutex mutex_;  // one request and its answer at a time
  int fd_ = -1;
  std::string received_;  // bytes read ahead of the current answer
};

// The device the tests run on, as the variable M797_DEVICE names it (/dev/ttyS1 or
// /dev/ttyUSB0); the relay knows the line by this name.
std::string NamedDevice();

// The device node of the device under test.  A USB adapter that was pulled and put back may come
// back under another number while the old one is still held open; for a USB serial device this
// gives the one that is there now, waiting up to timeout_ms for one to appear; empty when none
// does.
std::string DeviceUnderTest(int timeout_ms = 0);

}  // namespace m797::devices
