#pragma once

#include <cstdio>
#include <functional>
#include <vector>

#include "session/serial_line.h"
#include "wire_log/frame_splitter.h"

namespace m797::cli {

// The session's serial line with a tap on it: every frame written and received (the adapter's
// echo included) goes to the wire log when there is one, and each received frame to
// on_received_frame.  It also notes whether the port failed to open.
class WireTapLine final : public session::SerialLine {
 public:
  // `log` may be null; the caller owns it and keeps it open while the line is used.
  WireTapLine(session::SerialLine& line, std::FILE* log) : line_(line), log_(log) {}

  void SetDeviceName(const std::string& name) override { line_.SetDeviceName(name); }
  std::string DeviceName() const override { return line_.DeviceName(); }
  void OpenPort() override;
  void ClosePort() override;
  bool PortOpen() const override { return line_.PortOpen(); }
  void SetDtrState(bool on) override { line_.SetDtrState(on); }
  void SetBreakState(bool on) override { line_.SetBreakState(on); }
  int SendBytes(const std::uint8_t* data, int count) override;
  int ReadBytes(std::uint8_t* data, int count) override;

  bool open_failed() const { return open_failed_; }
  // Whether bytes handed to SendBytes may still wait to be written; WrittenOut says they are not.
  bool sending() const { return sending_; }
  void WrittenOut() { sending_ = false; }
  // False once a line of the log could not be written.
  bool log_ok() const { return log_ok_; }

  std::function<void(const std::vector<std::uint8_t>& frame)> on_received_frame;

 private:
  void Received(double ms, const std::vector<std::uint8_t>& bytes);
  void FlushReceived();

  session::SerialLine& line_;
  std::FILE* log_;
  wire_log::FrameSplitter received_;
  bool open_failed_ = false;
  bool sending_ = false;
  bool log_ok_ = true;
};

}  // namespace m797::cli
