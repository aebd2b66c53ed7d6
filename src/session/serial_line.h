#pragma once

#include <cstdint>
#include <string>

namespace m797::session {

// The serial-port operations the session uses, with the guarantees it relies on.  All are called
// on the main thread.  Failures are raised as exceptions carrying an English message.
class SerialLine {
 public:
  virtual ~SerialLine() = default;

  // Only while the port is closed; raises while open and keeps the old name.
  virtual void SetDeviceName(const std::string& name) = 0;
  virtual std::string DeviceName() const = 0;

  // Opens the named device exclusively with the line settings of the tester (10400 8N1, no flow
  // control) and starts receive notification.  Raises on failure, leaving the port closed.
  virtual void OpenPort() = 0;
  // Stops notification, closes the device, then pauses 300 ms.  Returns at once when closed.
  virtual void ClosePort() = 0;
  virtual bool PortOpen() const = 0;

  // Called before each wake-up pattern, outside its timed span: a line that serves more than
  // one kind of adapter may look at the port here.  Does nothing unless a line overrides it.
  virtual void BeforeWakeUp() {}

  // Both act at once, before returning; on a closed port they do nothing.
  virtual void SetDtrState(bool on) = 0;
  virtual void SetBreakState(bool on) = 0;

  // Copies the bytes for transmission and returns count; 0 on a closed port.
  virtual int SendBytes(const std::uint8_t* data, int count) = 0;
  // Returns the bytes waiting, up to count; 0 on a closed port or after the read time-out.
  virtual int ReadBytes(std::uint8_t* data, int count) = 0;
};

}  // namespace m797::session
