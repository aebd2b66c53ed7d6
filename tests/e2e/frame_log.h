#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace m797::e2e {

// One line of the simulator's frame log, in the wire-log format.
struct LoggedFrame {
  double ms;                        // monotonic milliseconds
  bool received;                    // RX: a request from the tester; TX: an answer written
  std::vector<std::uint8_t> bytes;  // the whole frame
};

// The complete lines of a frame log from where the stream stands; a last line without its end is
// still being written.  With read_to, the position after the last complete line is stored there.
std::vector<LoggedFrame> ParseFrameLog(std::istream& in, std::streamoff* read_to = nullptr);

// The request text of a logged request ("21 06"), or the data of an answer, as hex.
std::string FrameText(const LoggedFrame& frame);

}  // namespace m797::e2e
