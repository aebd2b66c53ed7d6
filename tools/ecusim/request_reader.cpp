#include "request_reader.h"

namespace m797::ecusim {

int RequestReader::FrameLength(const Bytes& frame) {
  if (frame.empty()) return 0;
  const std::uint8_t format = frame[0];
  if (format == 0x80) return frame.size() >= 4 ? frame[3] + 5 : 0;
  if (format > 0x80 && format < 0xC0) return format - 0x80 + 4;
  return -1;
}

void RequestReader::Feed(const std::uint8_t* bytes, std::size_t count,
                         const std::function<void(const Bytes&)>& on_frame) {
  for (std::size_t i = 0; i < count; ++i) {
    pending_.push_back(bytes[i]);
    const int length = FrameLength(pending_);
    if (length < 0) {
      pending_.clear();
    } else if (length > 0 && pending_.size() == static_cast<std::size_t>(length)) {
      on_frame(pending_);
      pending_.clear();
    }
  }
}

}  // namespace m797::ecusim
