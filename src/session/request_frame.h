#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace m797::session {

inline constexpr std::uint8_t kControllerAddress = 0x11;
inline constexpr std::uint8_t kTesterAddress = 0xF1;

// A frame with physical addressing: up to 63 data bytes with the length in the format byte
// (0x80 + n), more with format byte 0x80 and a separate length byte; the checksum (sum modulo
// 256) last.  Throws std::invalid_argument for more than 255 data bytes.
std::vector<std::uint8_t> EncodeFrame(std::uint8_t target, std::uint8_t source,
                                      std::span<const std::uint8_t> data);

// The data of a complete frame of either header form: after the header, before the checksum.
// Empty for a frame too short to carry any.
std::span<const std::uint8_t> FrameData(std::span<const std::uint8_t> frame);

// Turns a request text such as "21 03" into a KWP2000 frame with the length in the format byte:
// 0x80 + n, controller address, tester address, the n data bytes, checksum (sum modulo 256).
// Blanks are ignored; a lone trailing hex digit is dropped.  Throws std::invalid_argument on a
// character that is not a hex digit or on more data than one format byte can announce (63).
std::vector<std::uint8_t> EncodeRequest(std::string_view text);

}  // namespace m797::session
