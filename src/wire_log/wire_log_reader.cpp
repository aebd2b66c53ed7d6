#include "wire_log/wire_log_reader.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace m797::wire_log {

std::vector<WireLogLine> ReadWireLog(std::istream& in, const std::string& name) {
  std::vector<WireLogLine> lines;
  int number = 0;
  for (std::string text; std::getline(in, text);) {
    ++number;
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos || text[first] == '#') continue;
    std::string error;
    auto line = ParseLine(text, error);
    if (!line) throw WireLogError(name + ":" + std::to_string(number) + ": " + error);
    lines.push_back(std::move(*line));
  }
  if (in.bad()) throw WireLogError(name + ": read error");
  return lines;
}

std::vector<WireLogLine> ReadWireLogFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw WireLogError(path + ": " + std::strerror(errno));
  return ReadWireLog(in, path);
}

}  // namespace m797::wire_log
