#include "frame_log.h"

#include <stdexcept>

#include "session/request_frame.h"
#include "wire_log/wire_log_line.h"

namespace m797::e2e {

std::vector<LoggedFrame> ParseFrameLog(std::istream& in, std::streamoff* read_to) {
  std::vector<LoggedFrame> frames;
  for (std::string line; std::getline(in, line);) {
    if (in.eof()) break;  // a line still being written
    if (read_to) *read_to = in.tellg();
    std::string error;
    auto parsed = wire_log::ParseLine(line, error);
    if (!parsed) throw std::runtime_error("frame log: " + error + ": " + line);
    frames.push_back(
        {parsed->ms, parsed->direction == wire_log::Direction::Rx, std::move(parsed->bytes)});
  }
  return frames;
}

std::string FrameText(const LoggedFrame& frame) {
  const auto data = session::FrameData(frame.bytes);
  return wire_log::FormatBytes(data.data(), data.size());
}

}  // namespace m797::e2e
