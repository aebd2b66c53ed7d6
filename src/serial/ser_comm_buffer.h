#pragma once

#include <cstdint>
#include <memory>

namespace m797::serial {

// The write queue: a block of fixed capacity holding the queued bytes at its front.  Not
// guarded itself; the owner's WriteLock guards it.
class TSerCommBuffer {
 public:
  explicit TSerCommBuffer(int capacity);

  int Capacity() const { return capacity_; }
  int Size() const { return size_; }
  const std::uint8_t* Data() const { return data_.get(); }
  bool Fits(std::int64_t count) const { return size_ + count <= capacity_; }

  // Copies count bytes behind the queued ones; false, and nothing copied, when they do not fit.
  bool Append(const std::uint8_t* data, int count);
  // Drops the first count bytes (at most all of them) and moves the rest to the front.
  void Remove(int count);

 private:
  const int capacity_;
  std::unique_ptr<std::uint8_t[]> data_;
  int size_ = 0;
};

}  // namespace m797::serial
