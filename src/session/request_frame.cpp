#include "session/request_frame.h"

#include <stdexcept>
#include <string>

namespace m797::session {

namespace {

constexpr std::size_t kMaxInlineLength = 63;  // data bytes a format byte can announce

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
  std::vector<std::uint8_t> data;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    data.push_back(static_cast<std::uint8_t>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1])));
  }
  if (data.size() > kMaxInlineLength) throw std::invalid_argument("Request text too long");
  return EncodeFrame(kControllerAddress, kTesterAddress, data);
}

std::vector<std::uint8_t> EncodeFrame(std::uint8_t target, std::uint8_t source,
                                      std::span<const std::uint8_t> data) {
  if (data.size() > 255) throw std::invalid_argument("Frame data too long");
  std::vector<std::uint8_t> frame;
  if (data.size() <= kMaxInlineLength) {
    frame = {static_cast<std::uint8_t>(0x80 + data.size()), target, source};
  } else {
    frame = {0x80, target, source, static_cast<std::uint8_t>(data.size())};
  }
  frame.insert(frame.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame)
    sum = static_cast<std::uint8_t>(sum + b);
  frame.push_back(sum);
  return frame;
}

std::span<const std::uint8_t> FrameData(std::span<const std::uint8_t> frame) {
  const std::size_t header = !frame.empty() && frame[0] == 0x80 ? 4 : 3;
  if (frame.size() <= header + 1) return {};
  return frame.subspan(header, frame.size() - header - 1);
}

}  // namespace m797::session
