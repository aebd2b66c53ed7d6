#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace m797::e2e {

// One line of the simulator's frame log.
struct LoggedFrame {
  double ms;                        // monotonic milliseconds
  bool received;                    // RX: a request from the tester; TX: an answer written
  std::vector<std::uint8_t> bytes;  // the whole frame
};

// The simulator as a child process, linked as a COM name in the ports folder of the current
// XDG_CONFIG_HOME, logging its frames to a file.
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
  // Ends the simulator with SIGTERM; returns its exit status as waitpid reports it.
  int Stop();

 private:
  std::string log_path_;
  std::vector<LoggedFrame> frames_;
  std::streamoff log_read_to_ = 0;  // end of the last whole line read
  pid_t pid_ = -1;
  int status_fd_ = -1;
  std::string status_text_;
};

// The request text of a logged request ("21 06"), or the data of an answer, as hex.
std::string FrameText(const LoggedFrame& frame);

}  // namespace m797::e2e
