#include "elm327_chip.h"

#include <algorithm>
#include <charconv>

#include "session/request_frame.h"

namespace m797::ecusim {

namespace {

// The chip's times, in ms, as its data sheet gives them or close to what users measure.
constexpr double kFullResetMs = 1000;      // ATZ: the LED test, then the identification
constexpr double kWarmStartMs = 10;        // ATWS: no LED test
constexpr double kFastInitMs = 50;         // the wake-up pattern: 25 ms low, 25 ms high
constexpr double kByteOutMs = 6.2;         // a byte the chip sends at 10400 bit/s with its P4 gap
constexpr double kInterMessageMs = 55;     // P3: from an answer to the next request
constexpr double kMoreAnswersMs = 50;      // the wait for further answers before the prompt
constexpr double kDefaultTimeoutMs = 200;  // ST 32: the wait for an answer
constexpr double kDefaultWakeupIntervalMs = 2990;  // SW 92: 146 units of 20.48 ms
constexpr double kWakeupUnitMs = 20;
constexpr double kTimeoutUnitMs = 4;
constexpr std::size_t kShortMessageData = 7;  // without AL, more is refused
constexpr std::uint8_t kStartCommunication = 0x81;
constexpr std::uint8_t kStartCommunicationAnswer = 0xC1;
constexpr int kFastInitProtocol = 5;
constexpr int kSearchProtocol = 0;

constexpr const char* kProtocolNames[] = {
    "AUTO",
    "SAE J1850 PWM",
    "SAE J1850 VPW",
    "ISO 9141-2",
    "ISO 14230-4 (KWP 5BAUD)",
    "ISO 14230-4 (KWP FAST)",
    "ISO 15765-4 (CAN 11/500)",
    "ISO 15765-4 (CAN 29/500)",
    "ISO 15765-4 (CAN 11/250)",
    "ISO 15765-4 (CAN 29/250)",
    "SAE J1939 (CAN 29/250)",
    "USER1 (CAN 11/125)",
    "USER2 (CAN 11/50)",
};
constexpr int kLastProtocol = 12;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes of an even number of hex digits; nothing for anything else.
std::optional<std::vector<std::uint8_t>> HexBytes(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::string Hex(std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[b >> 4], kDigits[b & 0xF]};
}

std::uint8_t Checksum(const std::vector<std::uint8_t>& bytes) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes)
    sum = static_cast<std::uint8_t>(sum + b);
  return sum;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

}  // namespace

Elm327Chip::Elm327Chip(Elm327ChipOptions options, KLine& line)
    : options_(std::move(options)), line_(line) {
  PowerUp();
}

void Elm327Chip::PowerUp() {
  Defaults();
  stored_protocol_ = kSearchProtocol;
  protocol_ = stored_protocol_;
  searched_ = false;
  line_up_ = false;
  input_.Reset();
  output_.clear();
  last_command_.clear();
  job_.reset();
  stray_answers_.clear();
}

void Elm327Chip::Defaults() {
  echo_ = true;
  linefeeds_ = false;
  spaces_ = true;
  headers_ = false;
  long_messages_ = false;
  header_ = {0xC1, 0x33, 0xF1};  // functional, to the OBD address
  timeout_ms_ = kDefaultTimeoutMs;
  wakeup_interval_ms_ = kDefaultWakeupIntervalMs;
  wakeup_message_ = {0xC1, 0x33, 0xF1, 0x3E};
}

std::string Elm327Chip::TakeOutput() {
  std::string out;
  out.swap(output_);
  return out;
}

void Elm327Chip::Line(const std::string& text) {
  output_ += text;
  output_ += linefeeds_ ? "\r\n" : "\r";
}

void Elm327Chip::Prompt() {
  output_ += linefeeds_ ? "\r\n>" : "\r>";
  job_.reset();
}

void Elm327Chip::Receive(const std::uint8_t* bytes, std::size_t count, double now_ms) {
  for (std::size_t i = 0; i < count; ++i) {
    Advance(now_ms);
    const char c = static_cast<char>(bytes[i]);
    if (job_) {
      // A reset hears nothing; anything else the chip is doing, a character stops.
      if (job_->phase != Phase::Reset) Stop();
      continue;
    }
    if (echo_) output_.push_back(c);
    if (auto command = input_.Feed(c)) Execute(*command, now_ms);
  }
}

void Elm327Chip::Stop() {
  // What the controller still sends is on the line all the same; the chip no longer waits for it.
  if (job_->answer) stray_answers_.push_back(*job_->answer);
  Line("STOPPED");
  Prompt();
}

void Elm327Chip::Execute(const Elm327Input::Command& command, double now_ms) {
  if (command.overlong) {
    Line("?");
    Prompt();
    return;
  }
  const std::string text = command.text.empty() ? last_command_ : command.text;
  if (text.empty()) {
    Prompt();
    return;
  }
  last_command_ = text;
  if (StartsWith(text, "AT")) {
    AtCommand(text.substr(2), now_ms);
  } else {
    Request(text, now_ms);
  }
}

void Elm327Chip::Reset(double now_ms, double delay_ms) {
  Defaults();
  protocol_ = stored_protocol_;
  searched_ = false;
  line_up_ = false;
  input_.Reset();
  job_ = Job{Phase::Reset, now_ms + delay_ms};
}

void Elm327Chip::AtCommand(const std::string& c, double now_ms) {
  auto ok = [this] {
    Line("OK");
    Prompt();
  };
  auto answer = [this](const std::string& text) {
    Line(text);
    Prompt();
  };
  auto flag = [&](const char* name, bool& setting) {
    const std::string n = name;
    if (c == n + "0" || c == n + "1") {
      setting = c.back() == '1';
      return true;
    }
    return false;
  };
  auto value = [&](const char* name) -> std::optional<std::vector<std::uint8_t>> {
    if (!StartsWith(c, name)) return std::nullopt;
    return HexBytes(c.substr(std::char_traits<char>::length(name)));
  };
  auto protocol = [&](const char* name, bool store) {
    if (!StartsWith(c, name)) return false;
    std::string digits = c.substr(2);
    if (digits.size() == 2 && digits[0] == 'A') digits = "0";  // a search starting anywhere
    const int p = digits.size() == 1 ? HexDigit(digits[0]) : -1;
    if (p < 0 || p > kLastProtocol) return false;
    protocol_ = p;
    if (store) stored_protocol_ = p;
    searched_ = false;
    line_up_ = false;  // a new protocol closes the old one
    ok();
    return true;
  };

  if (c == "Z" || c == "WS") {
    Reset(now_ms, c == "Z" ? kFullResetMs : kWarmStartMs);
  } else if (c == "D") {
    Defaults();
    protocol_ = stored_protocol_;
    line_up_ = false;
    ok();
  } else if (c == "I") {
    answer(options_.version);
  } else if (c == "@1") {
    answer("OBDII to RS232 Interpreter");
  } else if (c == "RV") {
    answer("12.6V");
  } else if (flag("E", echo_) || flag("L", linefeeds_) || flag("S", spaces_) ||
             flag("H", headers_)) {
    ok();
  } else if (c == "AL" || c == "NL") {
    long_messages_ = c == "AL";
    ok();
  } else if (c == "KW0" || c == "KW1" || c == "M0" || c == "M1" || c == "AT0" || c == "AT1" ||
             c == "AT2" || c == "IB10" || c == "IB48" || c == "IB96") {
    ok();  // key bytes are not checked; nothing is stored; timing and baud are fixed
  } else if (c == "KW") {
    answer(line_up_ ? "1:" + Hex(key_bytes_[0]) + " 2:" + Hex(key_bytes_[1]) : "?");
  } else if (protocol("SP", true) || protocol("TP", false)) {
  } else if (c == "PC") {
    line_up_ = false;
    ok();
  } else if (c == "DP") {
    answer(protocol_ == kSearchProtocol && searched_ ? "AUTO, " + std::string(kProtocolNames[5])
                                                     : kProtocolNames[protocol_]);
  } else if (c == "DPN") {
    answer(protocol_ == kSearchProtocol ? (searched_ ? "A5" : "A0")
                                        : std::string(1, "0123456789ABC"[protocol_]));
  } else if (auto h = value("SH"); h && h->size() == 3) {
    std::copy(h->begin(), h->end(), header_.begin());
    ok();
  } else if (auto t = value("ST"); t && t->size() == 1) {
    timeout_ms_ = (*t)[0] == 0 ? kDefaultTimeoutMs : (*t)[0] * kTimeoutUnitMs;
    ok();
  } else if (auto w = value("SW"); w && w->size() == 1) {
    wakeup_interval_ms_ = (*w)[0] * kWakeupUnitMs;
    ok();
  } else if (auto m = value("WM"); m && !m->empty() && m->size() <= 6) {
    wakeup_message_ = *m;
    ok();
  } else if (c == "FI" && options_.init_command && protocol_ == kFastInitProtocol) {
    Job job{Phase::InitPattern, now_ms};
    job.init_only = true;
    StartInit(job, now_ms);
  } else {
    answer("?");
  }
}

void Elm327Chip::Request(const std::string& hex, double now_ms) {
  std::string digits = hex;
  int answers_wanted = 0;
  if (digits.size() % 2 != 0 && digits.size() >= 3) {
    answers_wanted = HexDigit(digits.back());
    digits.pop_back();
  }
  const auto data = HexBytes(digits);
  const std::size_t most = long_messages_ ? kShortMessageData + 1 : kShortMessageData;
  if (!data || data->empty() || data->size() > most || answers_wanted < 0) {
    Line("?");
    Prompt();
    return;
  }
  Job job{Phase::SendRequest, now_ms};
  job.request = *data;
  job.answers_wanted = answers_wanted;
  if (protocol_ != kFastInitProtocol && protocol_ != kSearchProtocol) {
    // The controller answers only ISO 14230 with fast init.
    Line(protocol_ == 3 || protocol_ == 4 ? "BUS INIT: ...ERROR" : "NO DATA");
    Prompt();
    return;
  }
  if (!line_up_) {
    if (protocol_ == kSearchProtocol) Line("SEARCHING...");
    StartInit(job, now_ms);
    return;
  }
  job.due_ms = std::max(now_ms, last_line_ms_ + kInterMessageMs);
  job_ = job;
}

void Elm327Chip::StartInit(Job job, double now_ms) {
  job.phase = Phase::InitPattern;
  job.due_ms = now_ms + kFastInitMs;
  job_ = std::move(job);
}

void Elm327Chip::Advance(double now_ms) {
  ReadStrayAnswers(now_ms);
  while (job_ && job_->due_ms <= now_ms)
    Step(job_->due_ms);
  if (!job_) KeepAlive(now_ms);
}

std::optional<double> Elm327Chip::NextDue() const {
  std::optional<double> due;
  auto earliest = [&](double t) { due = due ? std::min(*due, t) : t; };
  if (job_) {
    earliest(job_->due_ms);
  } else if (line_up_ && wakeup_interval_ms_ > 0) {
    earliest(last_line_ms_ + wakeup_interval_ms_);
  }
  for (const KLine::Answer& a : stray_answers_)
    earliest(a.at_ms);
  return due;
}

void Elm327Chip::ReadStrayAnswers(double now_ms) {
  std::erase_if(stray_answers_, [&](const KLine::Answer& a) {
    if (a.at_ms > now_ms) return false;
    line_.Answered(a.frame, a.at_ms);
    last_line_ms_ = std::max(last_line_ms_, a.at_ms);
    return true;
  });
}

void Elm327Chip::KeepAlive(double now_ms) {
  if (!line_up_ || wakeup_interval_ms_ <= 0) return;
  const double due = last_line_ms_ + wakeup_interval_ms_;
  if (due > now_ms) return;
  Bytes frame = wakeup_message_;
  frame.push_back(Checksum(frame));
  last_line_ms_ = due + static_cast<double>(frame.size()) * kByteOutMs;
  // The chip never reads the answers to its keep-alive.
  if (auto answer = line_.Send(frame, due, last_line_ms_)) stray_answers_.push_back(*answer);
}

void Elm327Chip::Step(double now_ms) {
  Job& job = *job_;
  switch (job.phase) {
    case Phase::Reset:
      Line("");
      Line(options_.version);
      Prompt();
      return;
    case Phase::InitPattern:
    case Phase::SendRequest: {
      const bool init = job.phase == Phase::InitPattern;
      const Bytes frame = Frame(init ? Bytes{kStartCommunication} : job.request);
      const double end_ms = now_ms + static_cast<double>(frame.size()) * kByteOutMs;
      last_line_ms_ = end_ms;
      job.answer = line_.Send(frame, now_ms, end_ms);
      if (job.answer && job.answer->at_ms <= end_ms + timeout_ms_) {
        job.phase = init ? Phase::InitAnswer : Phase::RequestAnswer;
        job.due_ms = job.answer->at_ms;
      } else {
        if (job.answer) stray_answers_.push_back(*job.answer);
        job.answer.reset();
        job.phase = init ? Phase::InitFailed : Phase::NoData;
        job.due_ms = end_ms + timeout_ms_;
      }
      return;
    }
    case Phase::InitAnswer: {
      line_.Answered(job.answer->frame, now_ms);
      last_line_ms_ = now_ms;
      const auto span = session::FrameData(job.answer->frame);
      const Bytes data(span.begin(), span.end());
      job.answer.reset();
      if (data.size() < 3 || data[0] != kStartCommunicationAnswer) {
        job.phase = Phase::InitFailed;
        Step(now_ms);
        return;
      }
      line_up_ = true;
      searched_ = protocol_ == kSearchProtocol;
      key_bytes_ = {data[1], data[2]};
      if (!searched_) Line("BUS INIT: OK");
      if (job.init_only) {
        Prompt();
        return;
      }
      job.phase = Phase::SendRequest;
      job.due_ms = now_ms + kInterMessageMs;
      return;
    }
    case Phase::InitFailed:
      Line(protocol_ == kSearchProtocol ? "UNABLE TO CONNECT" : "BUS INIT: ...ERROR");
      Prompt();
      return;
    case Phase::RequestAnswer:
      line_.Answered(job.answer->frame, now_ms);
      last_line_ms_ = now_ms;
      PrintFrame(job.answer->frame);
      job.answer.reset();
      if (job.answers_wanted == 1) {
        Prompt();
        return;
      }
      job.phase = Phase::Prompt;
      job.due_ms = now_ms + kMoreAnswersMs;
      return;
    case Phase::NoData:
      Line("NO DATA");
      Prompt();
      return;
    case Phase::Prompt:
      Prompt();
      return;
  }
}

Elm327Chip::Bytes Elm327Chip::Frame(const Bytes& data) const {
  const auto length = static_cast<std::uint8_t>(data.size());
  Bytes frame;
  if ((header_[0] & 0x3F) == 0) {
    // A format byte without a length: the length goes into a byte of its own.
    frame = {header_[0], header_[1], header_[2], length};
  } else {
    frame = {static_cast<std::uint8_t>((header_[0] & 0xC0) | length), header_[1], header_[2]};
  }
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(Checksum(frame));
  return frame;
}

void Elm327Chip::PrintFrame(const Bytes& frame) {
  const auto data = session::FrameData(frame);
  if (data.size() > kShortMessageData && !long_messages_) {
    Line("BUFFER FULL");
    return;
  }
  std::string text;
  auto put = [&](std::uint8_t b) {
    text += Hex(b);
    if (spaces_) text += ' ';
  };
  if (headers_) {
    for (std::uint8_t b : frame)
      put(b);
  } else {
    for (std::uint8_t b : data)
      put(b);
  }
  Line(text);
}

}  // namespace m797::ecusim
