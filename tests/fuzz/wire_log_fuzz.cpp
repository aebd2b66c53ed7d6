// The wire log's reader on any file, and its frame splitter on any bytes from the line.  A line the
// reader takes is written back the same by the log's own writer; the splitter loses no byte and
// cuts no line longer than a frame or a bounded run of noise.
#include <cmath>
#include <string>

#include "fuzz_entries.h"
#include "log_input.h"
#include "wire_log/frame_splitter.h"
#include "wire_log/wire_log_line.h"

namespace m797::fuzz {

namespace {

constexpr std::size_t kLongestSplitLine = 1024;  // a run of noise; a frame is at most 260

void ReadAsLog(const std::uint8_t* data, std::size_t size) {
  const auto read = LogLinesOf(data, size);
  if (!read) return;
  const std::vector<wire_log::WireLogLine>& lines = *read;
  for (const wire_log::WireLogLine& line : lines) {
    Expect(!line.bytes.empty() && std::isfinite(line.ms) && line.ms >= 0, "a bad line was taken");
    std::string error;
    const auto again = wire_log::ParseLine(wire_log::FormatLine(line), error);
    Expect(again && again->direction == line.direction && again->bytes == line.bytes,
           "a line taken does not read back as written");
  }
}

void SplitAsLine(const std::uint8_t* data, std::size_t size) {
  wire_log::FrameSplitter splitter;
  std::vector<std::uint8_t> joined;
  const auto sink = [&](double, const std::vector<std::uint8_t>& bytes) {
    Expect(!bytes.empty() && bytes.size() <= kLongestSplitLine, "a split line out of bounds");
    joined.insert(joined.end(), bytes.begin(), bytes.end());
  };
  // Cut where the input has a line feed, as reads of the line come in pieces.
  std::size_t start = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == '\n') {
      splitter.Feed(data + start, i - start, static_cast<double>(start), sink);
      start = i;
    }
  }
  splitter.Flush(sink);
  Expect(joined == std::vector<std::uint8_t>(data, data + size), "the splitter lost bytes");
}

}  // namespace

void WireLogInput(const std::uint8_t* data, std::size_t size) {
  ReadAsLog(data, size);
  SplitAsLine(data, size);
}

}  // namespace m797::fuzz
