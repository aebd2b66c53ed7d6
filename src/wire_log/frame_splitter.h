#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace m797::wire_log {

// Cuts the bytes received from the line into the frames of a wire log: a byte from 0x80 up starts
// a frame whose header gives its length; bytes that start no frame are kept together as one line
// of their own until the next frame start.  A frame still short when Flush is called (its sender
// went quiet, or the tester moved on) becomes a line as far as it came.  Each line carries the time
// of its first byte.
class FrameSplitter {
 public:
  using Sink = std::function<void(double ms, const std::vector<std::uint8_t>& bytes)>;

  void Feed(const std::uint8_t* bytes, std::size_t count, double ms, const Sink& sink);
  void Flush(const Sink& sink);

  // The length of the frame that `frame` begins, 0 while the header is not complete yet, -1 when
  // its first byte starts no frame.
  static int FrameLength(const std::uint8_t* frame, std::size_t count);

 private:
  // Bounds a run of noise: a line never grows past this.
  static constexpr std::size_t kMaxRun = 1024;

  std::vector<std::uint8_t> pending_;
  double pending_ms_ = 0;
};

}  // namespace m797::wire_log
