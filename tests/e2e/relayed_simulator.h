#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ecusim_process.h"

namespace m797::e2e {

// The simulator that a line relay runs for a test program on the far side of a line (under Wine,
// or in the device machine), and the answers to the program's "sim-frames", "sim-status" and
// "sim-stop" requests.
class RelayedSimulator {
 public:
  // Starts a simulator with an empty log at `log`; a simulator still running ends first.
  void Start(const std::filesystem::path& log, const std::vector<std::string>& args) {
    Stop();
    log_ = log;
    std::error_code ignored;
    std::filesystem::remove(log_, ignored);  // the simulator appends to its log
    process_ = std::make_unique<EcusimProcess>(log_.string(), args);
  }

  bool Running() const { return process_ != nullptr; }
  const std::filesystem::path& LogPath() const { return log_; }

  EcusimProcess& Process() {
    if (!process_) throw std::invalid_argument("no simulator running");
    return *process_;
  }

  // The frame log as written so far.
  std::string Frames() {
    Process();
    std::ifstream in(log_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The status lines, one per line.
  std::string Status() {
    std::string text;
    for (const std::string& line : Process().StatusLines())
      text += line + "\n";
    return text;
  }

  // Ends the simulator; its exit status as waitpid gives it, "0" when none was running.
  std::string Stop() {
    if (!process_) return "0";
    const int status = process_->Stop();
    process_.reset();
    return std::to_string(status);
  }

 private:
  std::unique_ptr<EcusimProcess> process_;
  std::filesystem::path log_;
};

}  // namespace m797::e2e
