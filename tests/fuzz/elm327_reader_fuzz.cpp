// The reader of an ELM327's text on any bytes, in chunks of any size: every line it gives is
// within its bound, every frame it finds is whole by its header, and no byte makes more than one
// line or prompt.  The same text read in one piece gives the same lines and prompts.
#include <string>
#include <vector>

#include "chunked_input.h"
#include "elm327/chip_text_reader.h"
#include "fuzz_entries.h"

namespace m797::fuzz {

namespace {

using elm327::ChipLineKind;
using elm327::ChipTextReader;

std::string Describe(const ChipTextReader::Event& event) {
  if (event.prompt) return ">";
  return std::to_string(static_cast<int>(event.line.kind)) + ":" + event.line.text;
}

void CheckEvent(const ChipTextReader::Event& event) {
  const elm327::ChipLine& line = event.line;
  if (event.prompt) {
    Expect(line.text.empty() && line.frame.empty(), "a prompt with a line");
    return;
  }
  Expect(!line.text.empty() && line.text.size() <= ChipTextReader::kMaxLineLength,
         "a line empty or beyond its bound");
  Expect(line.frame.empty() == (line.kind != ChipLineKind::Frame), "frame bytes on a message");
  if (line.kind != ChipLineKind::Frame) return;
  const auto& f = line.frame;
  const std::size_t whole = f[0] == 0x80 ? std::size_t{f[3]} + 5 : std::size_t{f[0]} - 0x80 + 4;
  Expect(f[0] >= 0x80 && f[0] <= 0xBF && f.size() >= 4 && f.size() == whole,
         "a frame that is not whole by its header");
}

}  // namespace

void Elm327ReaderInput(const std::uint8_t* data, std::size_t size) {
  ChipTextReader chunked;
  std::vector<std::string> events;
  std::size_t bytes = 0;
  ChunkedInput input(data, size);
  while (const auto chunk = input.Next()) {
    bytes += chunk->bytes.size();
    chunked.Feed(chunk->bytes.data(), chunk->bytes.size(), [&](const auto& event) {
      CheckEvent(event);
      events.push_back(Describe(event));
    });
    Expect(events.size() <= bytes, "more lines and prompts than bytes");
  }
  // The same bytes without the chunk heads, read at once.
  std::vector<std::uint8_t> text;
  ChunkedInput again(data, size);
  while (const auto chunk = again.Next())
    text.insert(text.end(), chunk->bytes.begin(), chunk->bytes.end());
  ChipTextReader whole;
  std::vector<std::string> at_once;
  whole.Feed(text.data(), text.size(),
             [&](const auto& event) { at_once.push_back(Describe(event)); });
  Expect(at_once == events, "the lines depend on how the text is cut");
}

}  // namespace m797::fuzz
