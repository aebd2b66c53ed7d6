#include "elm327/elm327_line.h"

#include <algorithm>
#include <array>
#include <span>

namespace m797::elm327 {

namespace {

constexpr std::size_t kAnswerCapacity = 2048;  // frame bytes not yet read; a frame is at most 260
constexpr std::size_t kReadChunk = 256;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace

Elm327Line::Elm327Line(serial::TSerComm& comm, session::Clock& clock, Elm327Options options)
    : comm_(comm), clock_(clock), options_(options) {}

void Elm327Line::OpenPort() {
  const int rate_before = comm_.UserBaudrate();
  comm_.SetUserBaudrate(options_.baud_rate);
  try {
    comm_.OpenPort();
  } catch (...) {
    if (rate_before > 0) comm_.SetUserBaudrate(rate_before);
    throw;
  }
  TakeOpenPort(rate_before);
}

void Elm327Line::TakeOpenPort(int rate_after_close) {
  rate_before_open_ = rate_after_close;
  ResetState();
  version_.clear();
  QueueSetup();
  SendNext();
}

void Elm327Line::ClosePort() {
  if (!comm_.PortOpen()) return;
  comm_.ClosePort();
  ResetState();
  if (rate_before_open_ > 0) comm_.SetUserBaudrate(rate_before_open_);
}

void Elm327Line::ResetState() {
  reader_.Reset();
  queue_.clear();
  in_flight_.reset();
  outcome_ = {};
  chip_header_.reset();
  init_refused_ = false;
  setup_needed_ = false;
  new_answers_ = false;
  answers_.clear();
  pending_error_.clear();
  last_error_.clear();
}

void Elm327Line::QueueSetup() {
  std::erase_if(queue_,
                [](const Command& c) { return c.kind == Kind::Setup || c.kind == Kind::Header; });
  chip_header_.reset();
  const auto setup = SetupCommands();
  std::vector<Command> commands;
  for (std::size_t i = 0; i < setup.size(); ++i) {
    commands.push_back(
        {Kind::Setup, setup[i].text, setup[i].fallback, setup[i].required, i == 0, {}, 0});
  }
  const Header header = SetupHeader();
  commands.push_back({Kind::Header, HeaderCommand(header), nullptr, true, false, header, 0});
  queue_.insert(queue_.begin(), commands.begin(), commands.end());
  setup_needed_ = false;
}

int Elm327Line::SendBytes(const std::uint8_t* data, int count) {
  if (!comm_.PortOpen() || data == nullptr || count <= 0) return 0;
  const auto request = ReadRequestFrame({data, static_cast<std::size_t>(count)});
  if (!request) {
    throw serial::ESerCommError(
        "The ELM327 adapter cannot send a frame that is not a whole "
        "request with physical addressing.");
  }
  if (request->data.empty() || request->data.size() > kMaxRequestData) {
    throw serial::ESerCommError("The ELM327 adapter cannot send a request of " +
                                std::to_string(request->data.size()) +
                                " data bytes (it sends 1 to 8).");
  }
  // A request still waiting for the prompt is replaced: the session has given up on it.
  std::erase_if(queue_, [](const Command& c) {
    return c.kind == Kind::Init || c.kind == Kind::CloseProtocol || c.kind == Kind::Request;
  });
  if (setup_needed_) QueueSetup();
  const std::uint32_t now = clock_.TickCount();
  if (IsStartCommunication(*request)) {
    if (init_refused_) {
      queue_.push_back({Kind::CloseProtocol, "ATPC", nullptr, false, false, {}, now});
    } else {
      queue_.push_back({Kind::Init, "ATFI", nullptr, false, false, request->header, now});
    }
  }
  queue_.push_back(
      {Kind::Request, HexText(request->data), nullptr, false, false, request->header, now});
  CheckPromptOverdue();
  SendNext();
  RaisePending();
  return count;
}

int Elm327Line::ReadBytes(std::uint8_t* data, int count) {
  if (data == nullptr || count <= 0) return 0;
  const std::size_t n = std::min(answers_.size(), static_cast<std::size_t>(count));
  std::copy_n(answers_.begin(), n, data);
  answers_.erase(answers_.begin(), answers_.begin() + static_cast<std::ptrdiff_t>(n));
  return static_cast<int>(n);
}

void Elm327Line::TextReceived(int count) {
  std::array<std::uint8_t, kReadChunk> chunk{};
  while (count > 0 && comm_.PortOpen()) {
    const int wanted = std::min(count, static_cast<int>(chunk.size()));
    const int read = std::min(comm_.ReadBytes(chunk.data(), wanted), wanted);
    if (read <= 0) break;
    reader_.Feed(chunk.data(), static_cast<std::size_t>(read),
                 [this](const ChipTextReader::Event& event) { OnEvent(event); });
    count -= read;
    if (read < wanted) break;
  }
  if (!comm_.PortOpen()) return;
  CheckPromptOverdue();
  SendNext();
  if (new_answers_ && !answers_.empty() && on_frames) {
    new_answers_ = false;
    on_frames(static_cast<int>(answers_.size()));
  }
  RaisePending();
}

void Elm327Line::OnEvent(const ChipTextReader::Event& event) {
  if (event.prompt) {
    OnPrompt();
  } else {
    OnLine(event.line);
  }
}

void Elm327Line::OnLine(const ChipLine& line) {
  const bool request_out = in_flight_ && in_flight_->kind == Kind::Request;
  switch (line.kind) {
    case ChipLineKind::Frame:
      last_error_.clear();
      // Only an answer to the session's request is the session's; a frame that does not fit is
      // lost as a frame garbled on a cable would be.
      if (request_out && answers_.size() + line.frame.size() <= kAnswerCapacity) {
        answers_.insert(answers_.end(), line.frame.begin(), line.frame.end());
        new_answers_ = true;
      }
      break;
    case ChipLineKind::Refused:
      outcome_.refused = true;
      break;
    case ChipLineKind::Stopped:
      outcome_.stopped = true;
      break;
    case ChipLineKind::InitFailed:
      outcome_.init_failed = true;
      break;
    case ChipLineKind::BusFault:
      Report("The ELM327 adapter on " + Name() + " reports " + Quoted(line.text) +
             (in_flight_ ? " for " + in_flight_->text : std::string()) +
             ": check its connection to the car.");
      break;
    case ChipLineKind::Restarted:
      if (line.text.find("ELM327") != std::string::npos) version_ = line.text;
      // Out of turn the chip has restarted on its own and lost its set-up.
      if (!(in_flight_ && in_flight_->reset)) QueueSetup();
      break;
    case ChipLineKind::Ok:
    case ChipLineKind::NoData:
    case ChipLineKind::BusInitOk:
    case ChipLineKind::Searching:
    case ChipLineKind::AnswerLost:
    case ChipLineKind::Other:
      break;
  }
}

void Elm327Line::OnPrompt() {
  if (!in_flight_) return;
  const Command done = *in_flight_;
  in_flight_.reset();
  switch (done.kind) {
    case Kind::Setup:
      FinishSetup(done);
      break;
    case Kind::Header:
      if (outcome_.refused || outcome_.stopped) {
        FinishSetup(done);
      } else {
        chip_header_ = done.header;
      }
      break;
    case Kind::Init:
      if (outcome_.refused) {
        // A clone without ATFI: the request that follows inits by itself.
        init_refused_ = true;
      } else if (outcome_.init_failed || outcome_.stopped) {
        // No controller answered the init: StartCommunication gets no answer, as on a cable.
        std::erase_if(queue_, [](const Command& c) { return c.kind == Kind::Request; });
      }
      break;
    case Kind::Request:
      if (outcome_.refused) {
        Report("The ELM327 adapter on " + Name() + " did not take the request " + done.text +
               " (it answered \"?\").");
      }
      break;
    case Kind::CloseProtocol:
      break;
  }
  outcome_ = {};
  SendNext();
}

void Elm327Line::FinishSetup(const Command& done) {
  if (!outcome_.refused && !outcome_.stopped) return;
  if (done.fallback) {
    queue_.push_front({Kind::Setup, done.fallback, nullptr, done.required, done.reset, {}, 0});
  } else if (done.required) {
    // Without it the line cannot work; the next request of the session tries the set-up again.
    queue_.clear();
    setup_needed_ = true;
    Report("The ELM327 adapter on " + Name() + " refused " + done.text +
           ", which this tester needs: the adapter cannot serve the controller.");
  }
}

void Elm327Line::SendNext() {
  while (!in_flight_ && !queue_.empty() && comm_.PortOpen()) {
    const Command& next = queue_.front();
    const bool expires =
        next.kind == Kind::Init || next.kind == Kind::CloseProtocol || next.kind == Kind::Request;
    if (expires && clock_.TickCount() - next.queued_ms > options_.request_expiry_ms) {
      queue_.pop_front();
      continue;
    }
    if ((next.kind == Kind::Init || next.kind == Kind::Request) && chip_header_ != next.header) {
      Send({Kind::Header, HeaderCommand(next.header), nullptr, true, false, next.header, 0});
      return;
    }
    const Command command = next;
    queue_.pop_front();
    Send(command);
  }
}

void Elm327Line::Send(const Command& command) {
  outcome_ = {};
  in_flight_ = command;
  sent_ms_ = clock_.TickCount();
  const std::string text = command.text + "\r";
  comm_.SendBytes(text.data(), static_cast<int>(text.size()));
}

void Elm327Line::CheckPromptOverdue() {
  if (!in_flight_ || clock_.TickCount() - sent_ms_ <= options_.prompt_timeout_ms) return;
  Report("The ELM327 adapter on " + Name() + " gave no prompt within " +
         std::to_string(options_.prompt_timeout_ms) + " ms after " + in_flight_->text + " (at " +
         std::to_string(options_.baud_rate) + " bit/s): it is reset and set up again.");
  in_flight_.reset();
  outcome_ = {};
  reader_.Reset();
  QueueSetup();
}

void Elm327Line::Report(const std::string& message) {
  if (message == last_error_) return;
  pending_error_ = message;
  last_error_ = message;
}

void Elm327Line::RaisePending() {
  if (pending_error_.empty()) return;
  const std::string message = std::move(pending_error_);
  pending_error_.clear();
  throw serial::ESerCommError(message);
}

std::string Elm327Line::Name() const {
  return comm_.DeviceName();
}

}  // namespace m797::elm327
