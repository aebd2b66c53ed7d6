#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fake_controls.h"
#include "recording_line.h"
#include "session/diagnostic_session.h"
#include "session/request_frame.h"
#include "sim_clock.h"

namespace m797::session::test {

// A timer on simulated time.  Enabling a running timer keeps its period; the next tick after a
// tick is one interval after the handler returned.
class SimTimer final : public SessionTimer {
 public:
  SimTimer(SimClock& clock, std::int64_t interval_ms) : clock_(clock), interval_ms_(interval_ms) {}

  void SetEnabled(bool enabled) override {
    if (enabled && !enabled_) {
      due_us_ = clock_.now_us() + interval_ms_ * 1000;
      ++starts;
    }
    enabled_ = enabled;
  }
  bool Enabled() const override { return enabled_; }

  std::optional<std::int64_t> due_us() const {
    return enabled_ ? std::optional(due_us_) : std::nullopt;
  }
  // Calls the handler for a tick and schedules the next one.
  void Tick(const std::function<void()>& handler) {
    const int starts_before = starts;
    ++ticks;
    handler();
    if (enabled_ && starts == starts_before) due_us_ = clock_.now_us() + interval_ms_ * 1000;
  }

  int starts = 0;
  int ticks = 0;

 private:
  SimClock& clock_;
  std::int64_t interval_ms_;
  bool enabled_ = false;
  std::int64_t due_us_ = 0;
};

// A frame from the controller to the tester carrying `data` (service identifier first).
inline std::vector<std::uint8_t> AnswerFrame(const std::vector<std::uint8_t>& data) {
  return EncodeFrame(kTesterAddress, kControllerAddress, data);
}

// The request text of a request frame, e.g. "21 06".
inline std::string RequestText(const std::vector<std::uint8_t>& frame) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 3; i + 1 < frame.size(); ++i) {
    if (!text.empty()) text += ' ';
    text += kDigits[frame[i] >> 4];
    text += kDigits[frame[i] & 0xF];
  }
  return text;
}

// The session with everything around it on simulated time: recording line, controls, settings,
// timers, and a scripted controller that answers each request after the adapter's echo.
struct SessionRig {
  // Answer data for a request text, or nothing for silence.
  using Controller = std::function<std::optional<std::vector<std::uint8_t>>(const std::string&)>;

  SimClock clock;
  RecordingLine line{clock};
  FakeControls controls;
  MemorySettings settings;
  SimTimer timer1{clock, 10000};
  SimTimer timer2{clock, 2000};
  SimTimer timer3{clock, 1000};
  DiagnosticSession session{line, clock, {timer1, timer2, timer3}, settings, controls};

  Controller controller = [](const std::string&) { return std::nullopt; };
  std::int64_t answer_delay_us = 30'000;
  std::size_t chunk_size = 0;  // 0: echo and answer arrive as one chunk

  struct Delivery {
    std::int64_t at_us;
    std::int64_t done_us;
  };
  std::vector<Delivery> deliveries;  // every notification handed to the session

  void Create() {
    session.FormCreate();
    timer1.SetEnabled(true);
  }
  void Start() {
    session.Button1Click();
    ScheduleAnswers();
  }

  // Runs the event loop on simulated time until `until_us`: arrivals of bytes and timer ticks,
  // in time order, each handled to its end before the next.
  void RunUntil(std::int64_t until_us) {
    while (Step(until_us)) {
    }
    clock.AdvanceTo(until_us);
  }
  void RunFor(std::int64_t ms) { RunUntil(clock.now_us() + ms * 1000); }
  // Runs until `count` requests have been sent in all (or `limit_ms` pass).
  void RunUntilRequests(std::size_t count, std::int64_t limit_ms = 60'000) {
    const std::int64_t until = clock.now_us() + limit_ms * 1000;
    while (line.sent().size() < count && Step(until)) {
    }
  }

  // Request texts sent so far, in order.
  std::vector<std::string> Requests() const {
    std::vector<std::string> texts;
    for (const auto& frame : line.sent())
      texts.push_back(RequestText(frame));
    return texts;
  }
  std::vector<RecordingLine::Event> Sends() const {
    std::vector<RecordingLine::Event> sends;
    for (const auto& e : line.events()) {
      if (e.kind == RecordingLine::Kind::Send) sends.push_back(e);
    }
    return sends;
  }

  // Queues bytes to arrive at a given simulated time, outside the scripted answers.
  void ArriveAt(std::int64_t at_us, std::vector<std::uint8_t> bytes) {
    auto it = arrivals_.begin();
    while (it != arrivals_.end() && it->at_us <= at_us)
      ++it;
    arrivals_.insert(it, {at_us, std::move(bytes)});
  }

 private:
  // Handles the next event due no later than `until_us`; false when there is none.
  bool Step(std::int64_t until_us) {
    std::optional<std::int64_t> next;
    auto consider = [&](std::optional<std::int64_t> t) {
      if (t && (!next || *t < *next)) next = t;
    };
    if (!arrivals_.empty()) consider(arrivals_.front().at_us);
    consider(timer1.due_us());
    consider(timer2.due_us());
    consider(timer3.due_us());
    if (!next || *next > until_us) return false;
    clock.AdvanceTo(*next);
    if (!arrivals_.empty() && arrivals_.front().at_us <= clock.now_us()) {
      line.Arrive(arrivals_.front().bytes);
      arrivals_.pop_front();
      const std::int64_t at = clock.now_us();
      session.SerComm1RxChar(line.waiting());
      deliveries.push_back({at, clock.now_us()});
    } else if (timer1.due_us() && *timer1.due_us() <= clock.now_us()) {
      timer1.Tick([&] { session.Timer1Timer(); });
    } else if (timer2.due_us() && *timer2.due_us() <= clock.now_us()) {
      timer2.Tick([&] { session.Timer2Timer(); });
    } else {
      timer3.Tick([&] { session.Timer3Timer(); });
    }
    ScheduleAnswers();
    return true;
  }

  void ScheduleAnswers() {
    // Runs after every event: the sends are counted in place rather than copied, which a long
    // run (the fuzz target's) would otherwise spend most of its time on.
    std::size_t seen = 0;
    for (const auto& send : line.events()) {
      if (send.kind != RecordingLine::Kind::Send || seen++ < answered_) continue;
      ++answered_;
      std::vector<std::uint8_t> bytes = send.bytes;  // the adapter's echo
      if (auto data = controller(RequestText(send.bytes))) {
        const auto answer = AnswerFrame(*data);
        bytes.insert(bytes.end(), answer.begin(), answer.end());
      }
      const std::size_t piece = chunk_size ? chunk_size : bytes.size();
      std::int64_t at = send.at_us + answer_delay_us;
      for (std::size_t i = 0; i < bytes.size(); i += piece, at += 1000) {
        const auto end = bytes.begin() + std::min(bytes.size(), i + piece);
        ArriveAt(at, {bytes.begin() + i, end});
      }
    }
  }

  struct Arrival {
    std::int64_t at_us;
    std::vector<std::uint8_t> bytes;
  };
  std::deque<Arrival> arrivals_;
  std::size_t answered_ = 0;
};

}  // namespace m797::session::test
