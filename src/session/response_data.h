#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace m797::session {

// The service identifier and parameters of a frame addressed to the tester, read by position
// (position 0 is the service identifier).  Every position past the frame's data reads 0.
struct ResponseData {
  static constexpr std::size_t kCapacity = 1024;

  std::array<std::uint8_t, kCapacity> bytes{};
  std::size_t length = 0;  // data bytes the frame carried

  std::uint8_t operator[](std::size_t position) const {
    return position < kCapacity ? bytes[position] : 0;
  }
};

}  // namespace m797::session
