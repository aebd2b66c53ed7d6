#include "serial/ser_comm_buffer.h"

#include <algorithm>
#include <cstring>

namespace m797::serial {

TSerCommBuffer::TSerCommBuffer(int capacity)
    : capacity_(std::max(capacity, 0)), data_(new std::uint8_t[capacity_ > 0 ? capacity_ : 1]) {}

bool TSerCommBuffer::Append(const std::uint8_t* data, int count) {
  if (count < 0 || !Fits(count)) return false;
  if (count > 0) std::memcpy(data_.get() + size_, data, count);
  size_ += count;
  return true;
}

void TSerCommBuffer::Remove(int count) {
  count = std::clamp(count, 0, size_);
  std::memmove(data_.get(), data_.get() + count, size_ - count);
  size_ -= count;
}

}  // namespace m797::serial
