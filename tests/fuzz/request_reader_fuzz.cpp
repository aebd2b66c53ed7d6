// The simulator's side of the line: its request reader on the tester's bytes in chunks of any
// size, and the controller's answer to every request it finds, as ecusim makes them.
#include "chunked_input.h"
#include "controller.h"
#include "engine_model.h"
#include "fuzz_entries.h"
#include "request_reader.h"
#include "session/request_frame.h"
#include "wire_log/frame_splitter.h"

namespace m797::fuzz {

void RequestReaderInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  // The first byte picks the controller type; the simulator's default fault memory.
  ecusim::Controller controller(data[0] % 3 + 1, {{0x01, 0x02, 0x60}, {0x03, 0x01, 0x20}});
  ecusim::RequestReader reader;
  double seconds = 0;
  ChunkedInput input(data + 1, size - 1);
  while (const auto chunk = input.Next()) {
    seconds += chunk->pause_ms / 1000.0;
    reader.Feed(chunk->bytes.data(), chunk->bytes.size(), [&](const ecusim::Bytes& frame) {
      Expect(frame.size() >= 4 &&
                 static_cast<int>(frame.size()) == ecusim::RequestReader::FrameLength(frame),
             "a request frame of the wrong length");
      if (frame[1] != session::kControllerAddress) return;
      const auto request = session::FrameData(frame);
      const auto answer = ecusim::AnswerFrame(
          controller.Answer({request.begin(), request.end()}, ecusim::EngineAt(seconds)));
      Expect(wire_log::FrameSplitter::FrameLength(answer.data(), answer.size()) ==
                 static_cast<int>(answer.size()),
             "an answer that is not a whole frame");
    });
  }
}

}  // namespace m797::fuzz
