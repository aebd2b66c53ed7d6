#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "elm327_input.h"

namespace m797::ecusim {

// The K-line behind the chip, as the chip sees it: the simulator's controller.
class KLine {
 public:
  using Bytes = std::vector<std::uint8_t>;
  struct Answer {
    Bytes frame;
    double at_ms;  // when its last byte is on the line
  };

  virtual ~KLine() = default;
  // The chip puts `frame` on the line from `start_ms` to `end_ms`; the controller's answer, or
  // nothing when it stays silent.
  virtual std::optional<Answer> Send(const Bytes& frame, double start_ms, double end_ms) = 0;
  // The answer's last byte is on the line at `at_ms`.
  virtual void Answered(const Bytes& frame, double at_ms) = 0;
};

struct Elm327ChipOptions {
  std::string version = "ELM327 v1.5";
  bool init_command = true;  // false: a clone that refuses ATFI
};

// An ELM327 clone in front of an ISO 14230 controller, on simulated time: text from the tester
// goes in with the time it came, text for the tester comes out, and the K-line exchanges run
// through `KLine` at the times the chip would make them.
//
// AT commands: Z (about a second) and WS reset and print the identification, I prints it, D
// restores the defaults; E, L, S, H switch echo, line feeds, blanks between bytes and headers;
// AL and NL allow long answers or not; SP and TP choose the protocol (only 5, ISO 14230 with fast
// init, and the automatic search, which finds 5, reach the controller); SH sets the header; ST
// the answer time-out; SW and WM the keep-alive; FI makes the fast init; PC closes the protocol;
// DP and DPN name it; RV reads the battery; KW0, KW1, M, AT and IB are taken; KW prints the key
// bytes.  Anything else is answered "?".  A request (hex, 1 to 7 data bytes, 8 with AL, an odd
// last digit giving how many answers to wait for) is framed with the header, the length and the
// checksum, preceded by the fast init when the line has none, and its answer printed as hex; a
// character that comes while the chip works stops it ("STOPPED").
class Elm327Chip {
 public:
  using Bytes = std::vector<std::uint8_t>;

  Elm327Chip(Elm327ChipOptions options, KLine& line);

  // Text from the tester, come at `now_ms`.
  void Receive(const std::uint8_t* bytes, std::size_t count, double now_ms);
  // Does what is due by `now_ms`.
  void Advance(double now_ms);
  // When Advance has something to do next; nothing while the chip only waits for the tester.
  std::optional<double> NextDue() const;
  // Text for the tester since the last call.
  std::string TakeOutput();
  // A new chip, as after the adapter was plugged in again: defaults, no line, nothing printed.
  void PowerUp();

 private:
  enum class Phase {
    Reset,          // prints the identification
    InitPattern,    // the wake-up pattern ends: StartCommunication goes out
    InitAnswer,     // the controller's answer to it is complete
    InitFailed,     // no answer to it came
    SendRequest,    // the request goes out
    RequestAnswer,  // the controller's answer is complete
    NoData,         // no answer came
    Prompt,         // no more answers came
  };
  struct Job {
    Job(Phase p, double due) : phase(p), due_ms(due) {}
    Phase phase;
    double due_ms;
    bool init_only = false;  // ATFI: no request follows the init
    Bytes request;           // the request's data
    int answers_wanted = 0;  // 0: as many as come within the wait
    std::optional<KLine::Answer> answer;
  };

  void Defaults();
  void Reset(double now_ms, double delay_ms);
  void Execute(const Elm327Input::Command& command, double now_ms);
  void AtCommand(const std::string& command, double now_ms);
  void Request(const std::string& hex, double now_ms);
  void StartInit(Job job, double now_ms);
  void Step(double now_ms);
  void KeepAlive(double now_ms);
  void Stop();
  void ReadStrayAnswers(double now_ms);
  Bytes Frame(const Bytes& data) const;
  void PrintFrame(const Bytes& frame);
  void Line(const std::string& text);
  void Prompt();

  const Elm327ChipOptions options_;
  KLine& line_;
  Elm327Input input_;
  std::string output_;
  std::string last_command_;
  std::optional<Job> job_;
  std::deque<KLine::Answer> stray_answers_;  // answers nobody waits for, still on the line

  // Settings: the defaults come back with Z, WS and D.
  bool echo_ = true;
  bool linefeeds_ = false;
  bool spaces_ = true;
  bool headers_ = false;
  bool long_messages_ = false;
  std::array<std::uint8_t, 3> header_{};
  double timeout_ms_ = 0;
  double wakeup_interval_ms_ = 0;  // 0: no keep-alive
  Bytes wakeup_message_;
  int stored_protocol_ = 0;  // kept over a reset, as ATSP stores it in the chip's memory
  int protocol_ = 0;         // 0: search
  bool searched_ = false;    // the search has found protocol 5

  // The line to the controller.
  bool line_up_ = false;
  std::array<std::uint8_t, 2> key_bytes_{};
  double last_line_ms_ = 0;  // the end of the last exchange on the K-line
};

}  // namespace m797::ecusim
