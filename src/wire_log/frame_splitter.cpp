#include "wire_log/frame_splitter.h"

namespace m797::wire_log {

int FrameSplitter::FrameLength(const std::uint8_t* frame, std::size_t count) {
  if (count == 0) return 0;
  const std::uint8_t format = frame[0];
  if (format < 0x80) return -1;
  // Format, target and source; the low six bits give the data length, or 0 for a separate
  // length byte.  Physical (0x80..0xBF) and functional (0xC0..0xFF) addressing alike.
  const int length = format & 0x3F;
  if (length != 0) return length + 4;
  return count >= 4 ? frame[3] + 5 : 0;
}

void FrameSplitter::Feed(const std::uint8_t* bytes, std::size_t count, double ms,
                         const Sink& sink) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = bytes[i];
    if (!pending_.empty() && pending_[0] < 0x80 && (b >= 0x80 || pending_.size() == kMaxRun)) {
      Flush(sink);  // a run of noise ends where a frame starts
    }
    if (pending_.empty()) pending_ms_ = ms;
    pending_.push_back(b);
    const int length = FrameLength(pending_.data(), pending_.size());
    if (length > 0 && pending_.size() == static_cast<std::size_t>(length)) Flush(sink);
  }
}

void FrameSplitter::Flush(const Sink& sink) {
  if (pending_.empty()) return;
  sink(pending_ms_, pending_);
  pending_.clear();
}

}  // namespace m797::wire_log
