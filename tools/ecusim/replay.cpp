#include "replay.h"

#include <optional>

#include "session/request_frame.h"
#include "wire_log/frame_splitter.h"

namespace m797::ecusim {

namespace {

constexpr std::uint8_t kServiceNotSupported = 0x11;
constexpr std::uint8_t kSubFunctionNotSupported = 0x12;

bool IsWholeFrame(const Bytes& bytes) {
  const int length = wire_log::FrameSplitter::FrameLength(bytes.data(), bytes.size());
  return length > 0 && static_cast<std::size_t>(length) == bytes.size();
}

}  // namespace

Replay::Replay(const std::vector<wire_log::WireLogLine>& lines) {
  std::optional<Bytes> request;  // the request still waiting for its answer
  for (const wire_log::WireLogLine& line : lines) {
    if (!IsWholeFrame(line.bytes)) continue;  // noise, or a frame cut short
    const std::uint8_t target = line.bytes[1];
    if (target == session::kControllerAddress) {
      const auto data = session::FrameData(line.bytes);
      request = Bytes(data.begin(), data.end());
    } else if (target == session::kTesterAddress && request) {
      answers_[*request].frames.push_back(line.bytes);
      ++size_;
      request.reset();
    }
  }
}

Bytes Replay::Answer(const Bytes& request) {
  const auto found = answers_.find(request);
  if (found == answers_.end()) {
    const std::uint8_t service = request.empty() ? 0 : request[0];
    bool service_known = false;
    for (const auto& [recorded, answers] : answers_)
      service_known = service_known || (!recorded.empty() && recorded[0] == service);
    return AnswerFrame(
        NegativeAnswer(service, service_known ? kSubFunctionNotSupported : kServiceNotSupported));
  }
  Answers& answers = found->second;
  const Bytes& frame = answers.frames[answers.next];
  answers.next = (answers.next + 1) % answers.frames.size();
  return frame;
}

}  // namespace m797::ecusim
