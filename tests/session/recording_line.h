#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "session/serial_line.h"
#include "sim_clock.h"

namespace m797::session::test {

// A serial line that records what the session does to it, with simulated timestamps, and hands
// the session the bytes a test queues as if they had arrived from the adapter.
class RecordingLine final : public SerialLine {
 public:
  enum class Kind { Open, Close, DtrOn, DtrOff, BreakOn, BreakOff, Send };
  struct Event {
    Kind kind;
    std::int64_t at_us;
    std::vector<std::uint8_t> bytes;  // for Send
  };

  explicit RecordingLine(SimClock& clock) : clock_(clock) {}

  void SetDeviceName(const std::string& name) override {
    if (open_) throw std::runtime_error("Can't perform this operation while port is open");
    device_name_ = name;
  }
  std::string DeviceName() const override { return device_name_; }

  void OpenPort() override {
    if (open_) throw std::runtime_error("Can't perform this operation while port is open");
    if (!open_error_.empty()) throw std::runtime_error(open_error_);
    open_ = true;
    opened_devices_.push_back(device_name_);
    Record(Kind::Open);
  }
  void ClosePort() override {
    if (!open_) return;
    open_ = false;
    Record(Kind::Close);
  }
  bool PortOpen() const override { return open_; }

  void SetDtrState(bool on) override {
    if (open_) Record(on ? Kind::DtrOn : Kind::DtrOff);
  }
  void SetBreakState(bool on) override {
    if (open_) Record(on ? Kind::BreakOn : Kind::BreakOff);
    if (on) clock_.AdvanceTo(clock_.now_us() + break_on_call_us_);
  }
  // Setting the break returns only after this long, as on a slow driver or a busy machine.
  void SetBreakOnCallTime(std::int64_t us) { break_on_call_us_ = us; }

  int SendBytes(const std::uint8_t* data, int count) override {
    if (!open_) return 0;
    if (!send_error_.empty()) throw std::runtime_error(send_error_);
    events_.push_back({Kind::Send, clock_.now_us(), {data, data + count}});
    return count;
  }

  int ReadBytes(std::uint8_t* data, int count) override {
    if (!open_) return 0;
    const int n = std::min<int>(count, std::min<int>(short_read_limit_, int(inbound_.size())));
    std::copy_n(inbound_.begin(), n, data);
    inbound_.erase(inbound_.begin(), inbound_.begin() + n);
    return n;
  }

  // Bytes the adapter passes up; the count the session is then notified with is waiting().
  void Arrive(const std::vector<std::uint8_t>& bytes) {
    inbound_.insert(inbound_.end(), bytes.begin(), bytes.end());
  }
  int waiting() const { return static_cast<int>(inbound_.size()); }

  void FailOpenWith(std::string message) { open_error_ = std::move(message); }
  void FailSendWith(std::string message) { send_error_ = std::move(message); }
  // Makes every read return at most `limit` bytes, whatever is waiting.
  void LimitReadsTo(int limit) { short_read_limit_ = limit; }

  const std::vector<Event>& events() const { return events_; }
  std::vector<std::vector<std::uint8_t>> sent() const {
    std::vector<std::vector<std::uint8_t>> frames;
    for (const Event& e : events_) {
      if (e.kind == Kind::Send) frames.push_back(e.bytes);
    }
    return frames;
  }
  const std::vector<std::string>& opened_devices() const { return opened_devices_; }
  void ClearEvents() { events_.clear(); }

 private:
  void Record(Kind kind) { events_.push_back({kind, clock_.now_us(), {}}); }

  SimClock& clock_;
  std::string device_name_ = "COM2";
  bool open_ = false;
  std::string open_error_;
  std::string send_error_;
  int short_read_limit_ = 1 << 30;
  std::deque<std::uint8_t> inbound_;
  std::vector<Event> events_;
  std::vector<std::string> opened_devices_;
  std::int64_t break_on_call_us_ = 0;
};

}  // namespace m797::session::test
