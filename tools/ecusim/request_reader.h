#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace m797::ecusim {

// Splits the byte stream from the tester into frames by the length in their header.  A byte that
// cannot start a frame is skipped, so the reader finds its feet again after noise.
class RequestReader {
 public:
  using Bytes = std::vector<std::uint8_t>;

  // Calls `on_frame` with each complete frame (header, data and checksum).
  void Feed(const std::uint8_t* bytes, std::size_t count,
            const std::function<void(const Bytes&)>& on_frame);

  // The expected length of a frame starting with `frame`'s bytes, 0 when not yet known, -1 when
  // its first byte starts no frame.
  static int FrameLength(const Bytes& frame);

 private:
  Bytes pending_;
};

}  // namespace m797::ecusim
