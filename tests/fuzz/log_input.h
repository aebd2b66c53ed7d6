#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "wire_log/wire_log_reader.h"

namespace m797::fuzz {

// The lines the wire-log reader takes from an input as a log file, or nothing when it refuses
// the file, as it should any that is not a wire log.
inline std::optional<std::vector<wire_log::WireLogLine>> LogLinesOf(const std::uint8_t* data,
                                                                    std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    return wire_log::ReadWireLog(in, "fuzz.log");
  } catch (const wire_log::WireLogError&) {
    return std::nullopt;
  }
}

}  // namespace m797::fuzz
