#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace m797::wire_log {

// Who wrote the frame, seen from the program that keeps the log: TX it wrote to the line, RX it
// received (for the tester, its own echo included).
enum class Direction { Rx, Tx };

// One line of a wire log: "<monotonic ms> <RX|TX> <byte> <byte> ...", the milliseconds with three
// decimals, each byte as two upper-case hexadecimal digits, for example
// "1234.567 TX 82 11 F1 21 06 AB".
struct WireLogLine {
  double ms = 0;
  Direction direction = Direction::Rx;
  std::vector<std::uint8_t> bytes;
};

// Bytes as the log writes them: two upper-case hexadecimal digits each, separated by blanks.
std::string FormatBytes(const std::uint8_t* bytes, std::size_t count);

// The text of a line, without its line end.
std::string FormatLine(const WireLogLine& line);
std::string FormatLine(double ms, Direction direction, const std::uint8_t* bytes,
                       std::size_t count);

// Parses the text of one line (without its line end; a carriage return before it is allowed).
// A line carries a time, a direction and at least one byte; on anything else returns nothing and
// says what is wrong in `error`.
std::optional<WireLogLine> ParseLine(std::string_view text, std::string& error);

}  // namespace m797::wire_log
