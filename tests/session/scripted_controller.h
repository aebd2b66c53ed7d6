#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace m797::session::test {

// An engine controller that answers every request the tester knows, with records long enough for
// every controller type, and a list of trouble codes that clearing empties.
struct ScriptedController {
  using Bytes = std::vector<std::uint8_t>;

  Bytes codes = {0x03, 0x00, 0x60, 0x01, 0x71, 0x20};  // "0300" current, "0171" stored

  std::optional<Bytes> operator()(const std::string& request) {
    if (request == "81") return Bytes{0xC1, 0xEF, 0x8F};
    if (request == "10 86") return Bytes{0x50, 0x86};
    if (request.rfind("21 0", 0) == 0) {
      Bytes answer = {0x61, static_cast<std::uint8_t>(request[4] - '0')};
      for (std::uint8_t i = 2; i < 34; ++i)
        answer.push_back(i);
      return answer;
    }
    if (request == "18 00 00 00" || request == "18 00 FF 00") {
      Bytes answer = {0x58, static_cast<std::uint8_t>(codes.size() / 3)};
      answer.insert(answer.end(), codes.begin(), codes.end());
      return answer;
    }
    if (request == "14 FF 00") {
      codes.clear();
      return Bytes{0x54, 0xFF, 0x00};
    }
    return Bytes{0x7F, 0x00, 0x11};
  }
};

}  // namespace m797::session::test
