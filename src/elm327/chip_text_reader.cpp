#include "elm327/chip_text_reader.h"

#include <array>
#include <utility>

namespace m797::elm327 {

namespace {

constexpr std::uint8_t kLengthByteFormat = 0x80;
constexpr std::uint8_t kLastInlineFormat = 0xBF;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// The bytes of a line of hex pairs, blanks between them or not; empty when it is anything else.
std::vector<std::uint8_t> HexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (char c : text) {
    if (c == ' ') {
      if (high >= 0) return {};  // a lone digit
      continue;
    }
    const int value = HexValue(c);
    if (value < 0) return {};
    if (high < 0) {
      high = value;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + value));
      high = -1;
    }
  }
  if (high >= 0) return {};
  return bytes;
}

// Whether the bytes are exactly one frame with physical addressing, by the length its header
// announces.
bool IsWholeFrame(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 4) return false;
  const std::uint8_t format = bytes[0];
  if (format == kLengthByteFormat) return bytes.size() == std::size_t{bytes[3]} + 5;
  if (format > kLengthByteFormat && format <= kLastInlineFormat) {
    return bytes.size() == std::size_t{format} - kLengthByteFormat + 4;
  }
  return false;
}

ChipLineKind MessageKind(std::string_view text) {
  using K = ChipLineKind;
  // Markers the chip prints after the line they judge.
  if (Contains(text, "<DATA ERROR") || Contains(text, "<RX ERROR")) return K::AnswerLost;
  if (text == "OK") return K::Ok;
  if (text == "?") return K::Refused;
  if (text == "NO DATA") return K::NoData;
  if (StartsWith(text, "BUS INIT:")) return EndsWith(text, "OK") ? K::BusInitOk : K::InitFailed;
  if (text == "UNABLE TO CONNECT") return K::InitFailed;
  if (text == "STOPPED") return K::Stopped;
  if (StartsWith(text, "SEARCHING")) return K::Searching;
  if (text == "BUFFER FULL" || text == "DATA ERROR") return K::AnswerLost;
  static constexpr std::array<std::string_view, 4> kFaults = {"CAN ERROR", "BUS BUSY", "BUS ERROR",
                                                              "FB ERROR"};
  for (std::string_view fault : kFaults) {
    if (text == fault) return K::BusFault;
  }
  if (text.size() == 5 && StartsWith(text, "ERR") && HexValue(text[3]) >= 0 &&
      HexValue(text[4]) >= 0) {
    return K::BusFault;
  }
  if (text == "LV RESET" || Contains(text, "ELM327")) return K::Restarted;
  return K::Other;
}

}  // namespace

ChipLine ClassifyLine(std::string_view text) {
  ChipLine line;
  text = Trimmed(text);
  line.text = std::string(text);
  line.kind = MessageKind(text);
  if (line.kind != ChipLineKind::Other) return line;
  std::vector<std::uint8_t> bytes = HexBytes(text);
  if (IsWholeFrame(bytes)) {
    line.kind = ChipLineKind::Frame;
    line.frame = std::move(bytes);
  }
  return line;
}

void ChipTextReader::Feed(const std::uint8_t* data, std::size_t count, const EventSink& sink) {
  for (std::size_t i = 0; i < count; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\r' || c == '\n') {
      EndLine(sink);
    } else if (c == '>') {
      EndLine(sink);
      sink(Event{true, {}});
    } else if (c == '\0') {
      continue;
    } else if (line_.size() < kMaxLineLength) {
      line_.push_back(c);
    } else {
      overlong_ = true;
    }
  }
}

void ChipTextReader::Reset() {
  line_.clear();
  overlong_ = false;
}

void ChipTextReader::EndLine(const EventSink& sink) {
  Event event;
  if (overlong_) {
    event.line.text = line_;
  } else {
    event.line = ClassifyLine(line_);
  }
  Reset();
  if (!event.line.text.empty()) sink(event);
}

}  // namespace m797::elm327
