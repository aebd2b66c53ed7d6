#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

// The line relay's protocol, spoken over a loopback TCP connection between a Windows test under
// Wine and the relay on the Linux side.  A request is one line of words separated by blanks; the
// answer is "ok <length>" or "error <length>" on a line of its own, then length bytes of text.
// Bytes on the line travel as hexadecimal without blanks.
namespace m797::relay {

inline constexpr const char* kPortVariable = "M797_LINE_RELAY";  // the relay's TCP port

inline std::string ToHex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char hex[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(hex, sizeof hex, "%02X", b);
    text += hex;
  }
  return text;
}

inline std::vector<std::uint8_t> FromHex(const std::string& text) {
  if (text.size() % 2 != 0) throw std::invalid_argument("odd hexadecimal text");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

inline std::string Answer(bool ok, const std::string& payload) {
  return std::string(ok ? "ok " : "error ") + std::to_string(payload.size()) + "\n" + payload;
}

}  // namespace m797::relay
