#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "controller.h"
#include "elm327_chip.h"
#include "options.h"
#include "pty_device.h"
#include "replay.h"
#include "request_reader.h"

namespace m797::ecusim {

// Serves the tester on a pseudo-terminal until `stop` is set: echoes every byte, reads request
// frames, and writes the controller's answers after the answer delay, misbehaving as the options
// ask.  Logs every request received and every answer written.  With an ELM327 as the adapter the
// chip (Elm327Chip) takes the tester's text and makes the K-line exchanges with the controller;
// those are what is logged.
class Simulator : private KLine {
 public:
  // With a replay, its recorded answers take the place of the simulated engine's.
  Simulator(const Options& options, std::FILE* log, std::FILE* status,
            std::unique_ptr<Replay> replay = nullptr);
  ~Simulator();

  // Returns the process exit code.
  int Run(const volatile std::sig_atomic_t& stop);

 private:
  struct Write {
    double due_ms;
    Bytes bytes;
    bool answer_end;  // the last piece of an answer: log it and count it
    Bytes frame;      // the whole answer, for the log
  };

  void Link();
  void Unlink();
  void OnRequest(const Bytes& frame, double now_ms);
  // The controller's answer frame to a request frame; nothing when it stays silent.
  std::optional<Bytes> ControllerAnswer(const Bytes& frame, double now_ms);
  Bytes Framed(const Bytes& data) const;
  void ScheduleAnswer(const Bytes& answer, double now_ms);
  void WriteDue(double now_ms);
  // The ELM327's side: the tester's text, the chip's timed work and its text back.
  bool TesterAtChipRate() const;
  void ServeChip(double now_ms);
  void WriteText(const std::string& text, double now_ms);
  std::optional<Answer> Send(const Bytes& frame, double start_ms, double end_ms) override;
  void Answered(const Bytes& frame, double at_ms) override;
  bool HangUpDue() const;
  void HangUp();
  void LogFrame(double ms, wire_log::Direction direction, const Bytes& frame);
  void WriteAll(const std::uint8_t* bytes, std::size_t count);

  Options options_;
  std::FILE* log_;
  std::FILE* status_;
  Controller controller_;
  std::unique_ptr<Replay> replay_;
  std::unique_ptr<PtyDevice> device_;
  std::unique_ptr<PortLink> link_;
  RequestReader reader_;
  std::unique_ptr<Elm327Chip> chip_;
  bool hang_up_pending_ = false;
  std::deque<Write> writes_;
  double start_ms_;
  int requests_ = 0;
  int answers_ = 0;
  std::optional<double> silent_since_ms_;  // when the silence of --silent-after began
  bool hung_up_once_ = false;
  std::uint32_t noise_seed_ = 12345;
};

}  // namespace m797::ecusim
