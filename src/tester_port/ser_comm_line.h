#pragma once

#include "serial/ser_comm.h"
#include "session/serial_line.h"

namespace m797::tester_port {

// The session's serial line on the serial port component.  The component's OnRxChar is routed
// to the session by whoever owns both.
class SerCommLine final : public session::SerialLine {
 public:
  explicit SerCommLine(serial::TSerComm& comm) : comm_(comm) {}

  void SetDeviceName(const std::string& name) override { comm_.SetDeviceName(name); }
  std::string DeviceName() const override { return comm_.DeviceName(); }
  void OpenPort() override { comm_.OpenPort(); }
  void ClosePort() override { comm_.ClosePort(); }
  bool PortOpen() const override { return comm_.PortOpen(); }
  void SetDtrState(bool on) override { comm_.SetDtrState(on); }
  void SetBreakState(bool on) override { comm_.SetBreakState(on); }
  int SendBytes(const std::uint8_t* data, int count) override {
    return comm_.SendBytes(data, count);
  }
  int ReadBytes(std::uint8_t* data, int count) override { return comm_.ReadBytes(data, count); }

 private:
  serial::TSerComm& comm_;
};

// Sets the component up as the tester's port: 10400 bit/s, 8 data bits, no parity, one stop bit,
// no flow control with DTR and RTS off until the program raises DTR, "COM2" until the user picks
// a port, reads waiting up to 5000 ms and queued writes not waiting for room.
void ConfigureTesterPort(serial::TSerComm& comm);

}  // namespace m797::tester_port
