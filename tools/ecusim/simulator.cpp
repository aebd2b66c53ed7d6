#include "simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <thread>

#include "session/request_frame.h"
#include "terminal_rate.h"
#include "wire_log/monotonic_ms.h"
#include "wire_log/wire_log_line.h"

namespace m797::ecusim {

namespace {

constexpr std::uint8_t kRequestOutOfRange = 0x22;
constexpr int kMaxPollMs = 50;                // bounds how late a stop signal is noticed
constexpr double kKLineByteMs = 10.0 / 10.4;  // a byte at 10400 bit/s
// Behind an ELM327, answers of this many data bytes and more come with a length byte of their own,
// as some controllers send their long records: the chip must pass on both header forms.
constexpr std::size_t kLengthByteFrom = 20;

}  // namespace

using wire_log::MonotonicMs;

Simulator::Simulator(const Options& options, std::FILE* log, std::FILE* status,
                     std::unique_ptr<Replay> replay)
    : options_(options),
      log_(log),
      status_(status),
      controller_(options.type, options.codes),
      replay_(std::move(replay)),
      start_ms_(MonotonicMs()) {
  if (options.adapter == Adapter::Elm327) {
    chip_ = std::make_unique<Elm327Chip>(Elm327ChipOptions{options.elm_version, !options.elm_no_fi},
                                         static_cast<KLine&>(*this));
  }
}

Simulator::~Simulator() {
  Unlink();
}

void Simulator::Link() {
  if (!options_.device_path.empty()) {
    device_ = std::make_unique<PtyDevice>(options_.device_path);
    std::fprintf(status_, "ecusim: serving %s (controller type %d)\n", options_.device_path.c_str(),
                 options_.type);
    std::fflush(status_);
    return;
  }
  device_ = std::make_unique<PtyDevice>();
  link_ = std::make_unique<PortLink>(options_.port, device_->slave_path());
  std::fprintf(status_, "ecusim: %s linked at %s -> %s (controller type %d", options_.port.c_str(),
               link_->path().c_str(), device_->slave_path().c_str(), options_.type);
  if (chip_) {
    std::fprintf(status_, " behind \"%s\" at %d bit/s", options_.elm_version.c_str(),
                 options_.elm_rate);
  }
  std::fputs(")\n", status_);
  std::fflush(status_);
}

void Simulator::Unlink() {
  link_.reset();
  device_.reset();
  writes_.clear();
}

void Simulator::LogFrame(double ms, wire_log::Direction direction, const Bytes& frame) {
  const std::string line = wire_log::FormatLine(ms, direction, frame.data(), frame.size());
  std::fprintf(log_, "%s\n", line.c_str());
  std::fflush(log_);
}

void Simulator::WriteAll(const std::uint8_t* bytes, std::size_t count) {
  while (count > 0 && device_) {
    const ssize_t n = write(device_->master(), bytes, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // the tester will notice the silence
    }
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
}

void Simulator::OnRequest(const Bytes& frame, double now_ms) {
  LogFrame(now_ms, wire_log::Direction::Rx, frame);
  if (auto answer = ControllerAnswer(frame, now_ms)) ScheduleAnswer(*answer, now_ms);
}

std::optional<Bytes> Simulator::ControllerAnswer(const Bytes& frame, double now_ms) {
  if (frame.size() < 2 || frame[1] != session::kControllerAddress || options_.silent) {
    return std::nullopt;
  }
  if (options_.silent_after > 0 && answers_ >= options_.silent_after) {
    if (options_.silent_ms == 0) return std::nullopt;
    if (!silent_since_ms_) silent_since_ms_ = now_ms;
    if (now_ms - *silent_since_ms_ < options_.silent_ms) return std::nullopt;
    // The silence is over: the controller answers again, as after a loose contact.
    silent_since_ms_.reset();
    answers_ = 0;
  }
  ++requests_;
  const auto data_span = session::FrameData(frame);
  const Bytes request(data_span.begin(), data_span.end());
  if (options_.stop_after > 0 && answers_ >= options_.stop_after) {
    return Framed({0xC2});
  } else if (options_.negative_every > 0 && requests_ % options_.negative_every == 0) {
    return Framed(NegativeAnswer(request.empty() ? 0 : request[0], kRequestOutOfRange));
  } else if (replay_) {
    return replay_->Answer(request);
  }
  return Framed(controller_.Answer(request, EngineAt((now_ms - start_ms_) / 1000.0)));
}

Bytes Simulator::Framed(const Bytes& data) const {
  if (chip_ && data.size() >= kLengthByteFrom) return LengthByteAnswerFrame(data);
  return AnswerFrame(data);
}

void Simulator::ScheduleAnswer(const Bytes& answer, double now_ms) {
  double due = now_ms + options_.answer_delay_ms;
  if (options_.garbage_bytes > 0) {
    // Noise that starts no frame, right behind the echo and well apart from the answer, so
    // that it reaches the tester as a chunk of its own or at the end of the echo's.
    Bytes noise(static_cast<std::size_t>(options_.garbage_bytes));
    for (auto& b : noise) {
      noise_seed_ = noise_seed_ * 1103515245u + 12345u;
      b = static_cast<std::uint8_t>((noise_seed_ >> 16) & 0x7F);
    }
    writes_.push_front({now_ms, noise, false, {}});
  }
  const std::size_t piece = options_.chunk_size > 0 ? options_.chunk_size : answer.size();
  for (std::size_t at = 0; at < answer.size(); at += piece, due += options_.chunk_gap_ms) {
    const std::size_t end = std::min(answer.size(), at + piece);
    const bool last = end == answer.size();
    writes_.push_back({due,
                       Bytes(answer.begin() + static_cast<std::ptrdiff_t>(at),
                             answer.begin() + static_cast<std::ptrdiff_t>(end)),
                       last, last ? answer : Bytes{}});
  }
}

bool Simulator::TesterAtChipRate() const {
  // A terminal served for a virtual machine carries the host end's settings, not the tester's.
  if (!options_.device_path.empty()) return true;
  const auto rate = TerminalBitRate(device_->master());
  return !rate || *rate == static_cast<unsigned>(options_.elm_rate);
}

std::optional<KLine::Answer> Simulator::Send(const Bytes& frame, double start_ms, double end_ms) {
  // Logged from its start, so that the log's pauses run from the end of an answer to the start
  // of the next request, as the K-line's P3.
  LogFrame(start_ms, wire_log::Direction::Rx, frame);
  auto answer = ControllerAnswer(frame, start_ms);
  if (!answer) return std::nullopt;
  const double at = end_ms + options_.answer_delay_ms + answer->size() * kKLineByteMs;
  return Answer{std::move(*answer), at};
}

void Simulator::Answered(const Bytes& frame, double at_ms) {
  LogFrame(at_ms, wire_log::Direction::Tx, frame);
  ++answers_;
  if (HangUpDue()) hang_up_pending_ = true;
}

bool Simulator::HangUpDue() const {
  return options_.hangup_after > 0 && !hung_up_once_ && answers_ >= options_.hangup_after;
}

void Simulator::HangUp() {
  hung_up_once_ = true;
  hang_up_pending_ = false;
  std::fprintf(status_, "ecusim: hanging up for %d ms\n", options_.hangup_ms);
  std::fflush(status_);
  Unlink();
  // The adapter comes back as a new device: its chip starts afresh.
  if (chip_) chip_->PowerUp();
}

void Simulator::ServeChip(double now_ms) {
  chip_->Advance(now_ms);
  if (hang_up_pending_) {
    HangUp();
    return;
  }
  WriteText(chip_->TakeOutput(), now_ms);
}

void Simulator::WriteText(const std::string& text, double now_ms) {
  if (text.empty()) return;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  if (options_.chunk_size <= 0) {
    WriteAll(bytes, text.size());
    return;
  }
  // In pieces, each after the last one queued.
  double due = writes_.empty() ? now_ms : writes_.back().due_ms + options_.chunk_gap_ms;
  const auto piece = static_cast<std::size_t>(options_.chunk_size);
  for (std::size_t at = 0; at < text.size(); at += piece, due += options_.chunk_gap_ms) {
    const std::size_t end = std::min(text.size(), at + piece);
    writes_.push_back({due, Bytes(bytes + at, bytes + end), false, {}});
  }
}

void Simulator::WriteDue(double now_ms) {
  while (!writes_.empty() && writes_.front().due_ms <= now_ms) {
    const Write w = std::move(writes_.front());
    writes_.pop_front();
    // Stamped before writing: the tester cannot have the answer any earlier than this.
    const double written_at = MonotonicMs();
    WriteAll(w.bytes.data(), w.bytes.size());
    if (!w.answer_end) continue;
    LogFrame(written_at, wire_log::Direction::Tx, w.frame);
    ++answers_;
    if (HangUpDue()) {
      HangUp();
      return;
    }
  }
}

int Simulator::Run(const volatile std::sig_atomic_t& stop) {
  try {
    Link();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ecusim: %s\n", e.what());
    return 1;
  }
  double down_since = 0;
  std::uint8_t buf[512];
  while (!stop) {
    const double now = MonotonicMs();
    if (!device_) {
      // Hung up: come back as a new device after the pause.
      if (down_since == 0) down_since = now;
      if (now - down_since >= options_.hangup_ms) {
        down_since = 0;
        try {
          Link();
        } catch (const std::exception& e) {
          std::fprintf(stderr, "ecusim: %s\n", e.what());
          return 1;
        }
        continue;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    int timeout = kMaxPollMs;
    if (!writes_.empty()) {
      timeout = std::clamp(static_cast<int>(std::ceil(writes_.front().due_ms - now)), 0, timeout);
    }
    if (chip_) {
      if (const auto due = chip_->NextDue()) {
        timeout = std::clamp(static_cast<int>(std::ceil(*due - now)), 0, timeout);
      }
    }
    pollfd p{device_->master(), POLLIN, 0};
    const int ready = poll(&p, 1, timeout);
    if (ready < 0 && errno != EINTR) {
      std::perror("ecusim: poll");
      return 1;
    }
    if (ready > 0 && (p.revents & POLLIN)) {
      const ssize_t n = read(device_->master(), buf, sizeof buf);
      if (n > 0) {
        const double at = MonotonicMs();
        if (chip_) {
          // A chip at another rate than the tester's would read only garbage: it hears nothing.
          if (TesterAtChipRate()) chip_->Receive(buf, static_cast<std::size_t>(n), at);
        } else {
          WriteAll(buf, static_cast<std::size_t>(n));  // the adapter's echo
          reader_.Feed(buf, static_cast<std::size_t>(n),
                       [&](const Bytes& frame) { OnRequest(frame, at); });
        }
      }
    }
    if (chip_ && device_) ServeChip(MonotonicMs());
    if (device_) WriteDue(MonotonicMs());
  }
  std::fprintf(status_, "ecusim: stopped\n");
  return 0;
}

}  // namespace m797::ecusim
