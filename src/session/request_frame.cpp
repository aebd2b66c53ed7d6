#include "session/request_frame.h"

#include <stdexcept>
#include <string>

namespace m797::session {

namespace {

constexpr std::size_t kMaxDataBytes = 63;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw std::invalid_argument(std::string("Not a hexadecimal digit in request text: '") + c + "'");
}

}  // namespace

std::vector<std::uint8_t> EncodeRequest(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c != ' ') digits.push_back(c);
  }
  std::vector<std::uint8_t> frame(3);
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    frame.push_back(static_cast<std::uint8_t>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1])));
  }
  const std::size_t n = frame.size() - 3;
  if (n > kMaxDataBytes) throw std::invalid_argument("Request text too long");
  frame[0] = static_cast<std::uint8_t>(0x80 + n);
  frame[1] = kControllerAddress;
  frame[2] = kTesterAddress;
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame)
    sum = static_cast<std::uint8_t>(sum + b);
  frame.push_back(sum);
  return frame;
}

}  // namespace m797::session
