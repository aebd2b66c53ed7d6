#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "wire_log/wire_log_line.h"

namespace m797::wire_log {

// A wire log that cannot be read; the message names the line ("recording.log:12: bad byte 'G1'").
class WireLogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a whole wire log.  Blank lines and lines starting with '#' are skipped; any other line that
// does not parse is an error naming `name` and its line number.
std::vector<WireLogLine> ReadWireLog(std::istream& in, const std::string& name);

// The same for a file; a file that cannot be opened is an error too.
std::vector<WireLogLine> ReadWireLogFile(const std::string& path);

}  // namespace m797::wire_log
