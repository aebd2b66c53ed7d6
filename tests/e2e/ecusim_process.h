#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "frame_log.h"

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace m797::e2e {

// The simulator as a child process, linked as a COM name in the ports folder of the current
// XDG_CONFIG_HOME, logging its frames to a file.  On Windows the line relay runs it on the Linux
// side, linked where Wine's COM1 points, and keeps its log; log_path is not used there.
class EcusimProcess {
 public:
  EcusimProcess(const std::string& log_path, std::vector<std::string> args);
  ~EcusimProcess();  // SIGTERM, then waits
  EcusimProcess(const EcusimProcess&) = delete;
  EcusimProcess& operator=(const EcusimProcess&) = delete;

  // The frames logged so far.  Each call reads only the lines added since the last one, so that
  // waiting on the log costs little next to the tester it measures.
  const std::vector<LoggedFrame>& Frames();
  // The status lines printed so far ("... linked at ...", "... hanging up ...").
  std::vector<std::string> StatusLines();
  // True once the simulator has said that its COM name is linked to its terminal.
  bool Linked();
  // Ends the simulator with SIGTERM; returns its exit status as waitpid reports it.
  int Stop();

 private:
  std::vector<LoggedFrame> frames_;
#ifdef _WIN32
  bool running_ = false;
#else
  std::string log_path_;
  std::streamoff log_read_to_ = 0;  // end of the last whole line read
  pid_t pid_ = -1;
  int status_fd_ = -1;
  std::string status_text_;
#endif
};

inline bool EcusimProcess::Linked() {
  for (const std::string& line : StatusLines()) {
    if (line.find(" linked at ") != std::string::npos) return true;
  }
  return false;
}

}  // namespace m797::e2e
