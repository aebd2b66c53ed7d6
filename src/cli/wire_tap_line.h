#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "session/serial_line.h"
#include "wire_log/frame_splitter.h"

namespace m797::cli {

// The session's serial line with a tap on it: every frame written and received (the adapter's
// echo included) goes to the wire log when there is one, and each received frame to
// on_received_frame.  It also notes whether the port failed to open.
//
// The wire log is created when the port first opens, so that a run that cannot open its port
// leaves a file of that name as it was.
class WireTapLine final : public session::SerialLine {
 public:
  // `log_path` may be empty: no wire log.
  WireTapLine(session::SerialLine& line, std::string log_path)
      : line_(line), log_path_(std::move(log_path)) {}
  ~WireTapLine() override { CloseLog(); }
  WireTapLine(const WireTapLine&) = delete;
  WireTapLine& operator=(const WireTapLine&) = delete;

  void SetDeviceName(const std::string& name) override { line_.SetDeviceName(name); }
  std::string DeviceName() const override { return line_.DeviceName(); }
  void OpenPort() override;
  void ClosePort() override;
  bool PortOpen() const override { return line_.PortOpen(); }
  void BeforeWakeUp() override { line_.BeforeWakeUp(); }
  void SetDtrState(bool on) override { line_.SetDtrState(on); }
  void SetBreakState(bool on) override { line_.SetBreakState(on); }
  int SendBytes(const std::uint8_t* data, int count) override;
  int ReadBytes(std::uint8_t* data, int count) override;

  bool open_failed() const { return open_failed_; }
  // Whether bytes handed to SendBytes may still wait to be written; WrittenOut says they are not.
  bool sending() const { return sending_; }
  void WrittenOut() { sending_ = false; }
  // Closes the wire log; false when any of it could not be written.
  bool CloseLog();
  const std::string& log_path() const { return log_path_; }

  std::function<void(const std::vector<std::uint8_t>& frame)> on_received_frame;

 private:
  void Received(double ms, const std::vector<std::uint8_t>& bytes);
  void FlushReceived();

  void OpenLog();

  session::SerialLine& line_;
  const std::string log_path_;
  std::FILE* log_ = nullptr;
  wire_log::FrameSplitter received_;
  bool open_failed_ = false;
  bool sending_ = false;
  bool log_ok_ = true;
};

}  // namespace m797::cli
