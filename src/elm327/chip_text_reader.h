#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace m797::elm327 {

// What one line of an ELM327's text says.
enum class ChipLineKind {
  Frame,       // hexadecimal bytes making one whole frame with physical addressing
  Ok,          // "OK"
  Refused,     // "?": the command was not understood or not appropriate
  NoData,      // "NO DATA": nothing came within the chip's time-out
  BusInitOk,   // "BUS INIT: OK", "BUS INIT: ...OK"
  InitFailed,  // "BUS INIT: ...ERROR" (any other end), "UNABLE TO CONNECT"
  Stopped,     // "STOPPED": a character arrived while the chip worked
  Searching,   // "SEARCHING...": a protocol search goes on
  AnswerLost,  // "BUFFER FULL", "DATA ERROR", a line marked "<DATA ERROR" or "<RX ERROR"
  BusFault,    // "CAN ERROR", "BUS BUSY", "BUS ERROR", "FB ERROR", "ERRnn": wiring or chip faults
  Restarted,   // the chip's identification ("ELM327 v1.5") or "LV RESET": it has just started
  Other,       // anything else: garbage, an unknown message, an echo, hex that is no whole frame
};

struct ChipLine {
  ChipLineKind kind = ChipLineKind::Other;
  std::string text;                 // the line without its surrounding blanks
  std::vector<std::uint8_t> frame;  // the frame's bytes, header and checksum included (Frame)
};

// Reads one line of the chip's text (without its line end).  Messages are matched before hex,
// as some start with hex digits ("FB ERROR").  A frame comes with or without blanks between the
// bytes and must hold exactly the bytes its header announces: a format byte 0x81 to 0xBF carries
// the data length, 0x80 a separate length byte after the two addresses.  Its checksum is left to
// the session, as on a cable.
ChipLine ClassifyLine(std::string_view text);

// Cuts the chip's text into lines and prompts.  A line ends at CR or LF; '>' is the prompt, which
// also ends a line in front of it; NUL bytes (sent by some chips after a reset) are dropped.  A
// line longer than kMaxLineLength is cut to that length and reported as Other, whatever it holds;
// nothing else is kept, so the reader's memory is bounded whatever comes.  No I/O.
class ChipTextReader {
 public:
  // Longer than the longest frame as text (260 bytes as "XX " is 780 characters).
  static constexpr std::size_t kMaxLineLength = 1024;

  struct Event {
    bool prompt = false;  // the chip is ready for a command; `line` is empty
    ChipLine line;
  };
  using EventSink = std::function<void(const Event&)>;

  void Feed(const std::uint8_t* data, std::size_t count, const EventSink& sink);
  // Forgets a line begun.
  void Reset();

 private:
  void EndLine(const EventSink& sink);

  std::string line_;
  bool overlong_ = false;
};

}  // namespace m797::elm327
