#include "elm327/chip_commands.h"

namespace m797::elm327 {

namespace {

constexpr std::uint8_t kLengthByteFormat = 0x80;
constexpr std::uint8_t kAddressModeBits = 0xC0;
constexpr std::uint8_t kStartCommunication = 0x81;

constexpr SetupCommand kSetup[] = {
    {"ATWS", "ATZ", true},    {"ATE0", nullptr, true},   {"ATL0", nullptr, false},
    {"ATS1", nullptr, false}, {"ATH1", nullptr, true},   {"ATAL", nullptr, true},
    {"ATTP5", "ATSP5", true}, {"ATKW0", nullptr, false}, {"ATSW00", nullptr, false},
};

}  // namespace

std::span<const SetupCommand> SetupCommands() {
  return kSetup;
}

Header SetupHeader() {
  return {0x81, 0x11, 0xF1};
}

std::optional<RequestFrame> ReadRequestFrame(std::span<const std::uint8_t> frame) {
  if (frame.size() < 4) return std::nullopt;
  const std::uint8_t format = frame[0];
  if ((format & kAddressModeBits) != kLengthByteFormat) return std::nullopt;
  const std::size_t header_size = format == kLengthByteFormat ? 4 : 3;
  const std::size_t length = format == kLengthByteFormat ? frame[3] : format & 0x3F;
  if (frame.size() != header_size + length + 1) return std::nullopt;
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i + 1 < frame.size(); ++i)
    sum = static_cast<std::uint8_t>(sum + frame[i]);
  if (sum != frame.back()) return std::nullopt;
  RequestFrame request;
  request.header = {static_cast<std::uint8_t>((format & kAddressModeBits) | 0x01), frame[1],
                    frame[2]};
  request.data.assign(frame.begin() + static_cast<std::ptrdiff_t>(header_size), frame.end() - 1);
  return request;
}

bool IsStartCommunication(const RequestFrame& request) {
  return request.data.size() == 1 && request.data[0] == kStartCommunication;
}

std::string HexText(std::span<const std::uint8_t> data) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t b : data) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0xF];
  }
  return text;
}

std::string HeaderCommand(const Header& header) {
  return "ATSH" + HexText(header);
}

}  // namespace m797::elm327
