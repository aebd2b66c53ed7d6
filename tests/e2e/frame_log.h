#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace m797::e2e {

// One line of the simulator's frame log.
struct LoggedFrame {
  double ms;                        // monotonic milliseconds
  bool received;                    // RX: a request from the tester; TX: an answer written
  std::vector<std::uint8_t> bytes;  // the whole frame
};

// The complete lines of a frame log; a last line without its end is still being written.
std::vector<LoggedFrame> ParseFrameLog(std::istream& in);

// The request text of a logged request ("21 06"), or the data of an answer, as hex.
std::string FrameText(const LoggedFrame& frame);

}  // namespace m797::e2e
