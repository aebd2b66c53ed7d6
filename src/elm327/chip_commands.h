#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace m797::elm327 {

// The three header bytes the chip puts in front of a request: format (with the length left for
// the chip to fill in), target, source.
using Header = std::array<std::uint8_t, 3>;

// The most data bytes one request can carry through the chip, with long messages allowed (ATAL).
inline constexpr std::size_t kMaxRequestData = 8;

// One command of the chip's set-up: its text, the one to try when the chip refuses it ("?"),
// and whether the line can work without it.
struct SetupCommand {
  const char* text;
  const char* fallback;  // nullptr: none
  bool required;
};

// Reset (a warm start, else a full one), no echo, no line feeds, blanks between bytes, headers
// and checksums shown, long messages, ISO 14230 with fast init (not stored in the chip's memory,
// else stored), key bytes not checked, no keep-alive of the chip's own (the session alone puts
// requests on the line, as through a cable).  The header (SetupHeader) follows them.
std::span<const SetupCommand> SetupCommands();
// The header the set-up ends with: physical addressing, controller 0x11, tester 0xF1; set before
// the init so that the chip's own StartCommunication goes to the controller.
Header SetupHeader();

// A request frame of the session split into what the chip needs.
struct RequestFrame {
  Header header;
  std::vector<std::uint8_t> data;
};

// Reads a whole request frame of either header form, its checksum included; nothing when the
// bytes are no such frame.
std::optional<RequestFrame> ReadRequestFrame(std::span<const std::uint8_t> frame);

// Whether the request is StartCommunication (service 0x81 alone).
bool IsStartCommunication(const RequestFrame& request);

// "ATSH8111F1": sets the header for the requests that follow.
std::string HeaderCommand(const Header& header);
// The data as the chip takes a request: "2102".
std::string HexText(std::span<const std::uint8_t> data);

}  // namespace m797::elm327
