#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace m797::fuzz {

// Cuts a fuzz input into the chunks a serial line hands over.  Each chunk is announced by one
// byte: its low six bits give the length less one (1 to 64 bytes; the last chunk may be shorter),
// its top two bits the pause before it, from none to longer than the retry timer.
class ChunkedInput {
 public:
  struct Chunk {
    std::span<const std::uint8_t> bytes;
    std::int64_t pause_ms;
  };

  ChunkedInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::optional<Chunk> Next() {
    if (at_ + 1 >= size_) return std::nullopt;
    static constexpr std::int64_t kPausesMs[] = {0, 5, 250, 1200};
    const std::uint8_t head = data_[at_++];
    const std::size_t length = std::min<std::size_t>((head & 0x3F) + 1u, size_ - at_);
    const Chunk chunk{{data_ + at_, length}, kPausesMs[head >> 6]};
    at_ += length;
    return chunk;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace m797::fuzz
