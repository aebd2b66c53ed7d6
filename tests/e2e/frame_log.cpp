#include "frame_log.h"

#include <cstdio>
#include <sstream>

#include "session/request_frame.h"

namespace m797::e2e {

std::vector<LoggedFrame> ParseFrameLog(std::istream& in, std::streamoff* read_to) {
  std::vector<LoggedFrame> frames;
  for (std::string line; std::getline(in, line);) {
    if (in.eof()) break;  // a line still being written
    if (read_to) *read_to = in.tellg();
    std::istringstream words(line);
    LoggedFrame f{};
    std::string direction;
    if (!(words >> f.ms >> direction)) continue;
    f.received = direction == "RX";
    for (std::string hex; words >> hex;) {
      f.bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16)));
    }
    frames.push_back(std::move(f));
  }
  return frames;
}

std::string FrameText(const LoggedFrame& frame) {
  std::string text;
  char hex[4];
  for (std::uint8_t b : session::FrameData(frame.bytes)) {
    std::snprintf(hex, sizeof hex, "%02X", b);
    if (!text.empty()) text += ' ';
    text += hex;
  }
  return text;
}

}  // namespace m797::e2e
