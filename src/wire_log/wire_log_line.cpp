#include "wire_log/wire_log_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace m797::wire_log {

namespace {

constexpr std::size_t kMaxBytesPerLine = 1024;  // more than any frame can hold
// Monotonic milliseconds since the machine started: about 31 years.  A time beyond it is no
// time of a log, and its text would not fit the line FormatLine writes.
constexpr double kLatestMs = 1e12;

// The next blank-separated word of `text` from `at`, or an empty view at the end.
std::string_view NextWord(std::string_view text, std::size_t& at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
    ++at;
  const std::size_t begin = at;
  while (at < text.size() && text[at] != ' ' && text[at] != '\t')
    ++at;
  return text.substr(begin, at - begin);
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::string FormatBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  text.reserve(3 * count);
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
  }
  return text;
}

std::string FormatLine(double ms, Direction direction, const std::uint8_t* bytes,
                       std::size_t count) {
  char head[48];
  std::snprintf(head, sizeof head, "%.3f %s", ms, direction == Direction::Tx ? "TX" : "RX");
  std::string text = head;
  if (count > 0) text += ' ' + FormatBytes(bytes, count);
  return text;
}

std::string FormatLine(const WireLogLine& line) {
  return FormatLine(line.ms, line.direction, line.bytes.data(), line.bytes.size());
}

std::optional<WireLogLine> ParseLine(std::string_view text, std::string& error) {
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  WireLogLine line;
  std::size_t at = 0;
  const std::string_view time = NextWord(text, at);
  if (time.empty()) {
    error = "empty line";
    return std::nullopt;
  }
  const auto [time_end, time_ec] = std::from_chars(time.data(), time.data() + time.size(), line.ms);
  if (time_ec != std::errc() || time_end != time.data() + time.size() || !std::isfinite(line.ms) ||
      line.ms < 0 || line.ms > kLatestMs) {
    error = "bad time '" + std::string(time) + "'";
    return std::nullopt;
  }
  const std::string_view direction = NextWord(text, at);
  if (direction == "RX") {
    line.direction = Direction::Rx;
  } else if (direction == "TX") {
    line.direction = Direction::Tx;
  } else {
    error = direction.empty() ? "no direction (RX or TX)"
                              : "bad direction '" + std::string(direction) + "' (RX or TX)";
    return std::nullopt;
  }
  for (std::string_view word = NextWord(text, at); !word.empty(); word = NextWord(text, at)) {
    if (word.size() != 2 || !IsHexDigit(word[0]) || !IsHexDigit(word[1])) {
      error = "bad byte '" + std::string(word) + "' (two hexadecimal digits)";
      return std::nullopt;
    }
    if (line.bytes.size() == kMaxBytesPerLine) {
      error = "more than " + std::to_string(kMaxBytesPerLine) + " bytes";
      return std::nullopt;
    }
    unsigned value = 0;
    std::from_chars(word.data(), word.data() + 2, value, 16);
    line.bytes.push_back(static_cast<std::uint8_t>(value));
  }
  if (line.bytes.empty()) {
    error = "no bytes";
    return std::nullopt;
  }
  return line;
}

}  // namespace m797::wire_log
