#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "elm327/chip_commands.h"
#include "elm327/chip_text_reader.h"
#include "serial/ser_comm.h"
#include "session/clock.h"
#include "session/diagnostic_session.h"
#include "session/serial_line.h"

namespace m797::elm327 {

struct Elm327Options {
  int baud_rate = 38400;  // the adapter's serial side
  // A request that has waited this long for the chip's prompt is dropped: the session's retry
  // (its Timer3 interval) has sent, or will send, a fresh one.
  std::uint32_t request_expiry_ms = session::kRetryIntervalMs;
  // The chip's longest command (a full reset, a failed init) ends well within this.
  std::uint32_t prompt_timeout_ms = 5000;
};

// The session's serial line through an ELM327-type adapter on the serial port component.
//
// The session sends and reads KWP2000 frames as through a K-line cable; this line turns each
// request frame into the chip's text and each answer line back into the controller's frame,
// header and checksum included, so the session's frame assembler, dispatch, pacing, retry and
// watchdog run unchanged.  The cable's echo of the request is not reproduced: the session drops
// frames not addressed to the tester and needs none.
//
// - OpenPort opens the component at the adapter's rate and sets the chip up (SetupCommands);
//   ClosePort puts the component's rate back as it was.
// - DTR and break do nothing: the chip makes the wake-up itself.  StartCommunication becomes the
//   chip's init, ATFI, and then "81" for the controller's answer; a chip that refuses ATFI
//   (many clones) closes its protocol (ATPC) instead, and the "81" request inits by itself.
// - Every command waits for the chip's '>' prompt; a request that waited past the expiry is
//   dropped, and a newer request replaces one still waiting.  A header other than the chip's
//   is set with ATSH first.
// - Answer lines go to the session as frame bytes; NO DATA, a failed init, STOPPED, BUFFER FULL,
//   a data error and unknown lines give silence, which the session's retry and watchdog handle;
//   the chip's identification or "LV RESET" out of turn means it restarted, and the set-up runs
//   again.  A refused set-up command, a refused request, a bus fault and a prompt overdue by
//   prompt_timeout_ms raise serial::ESerCommError with an English message, each once until an
//   answer comes; after an overdue prompt the chip is reset and set up again.
//
// The owner routes the component's OnRxChar to TextReceived and on_frames to the session's
// SerComm1RxChar.  Everything runs on the main thread.
class Elm327Line final : public session::SerialLine {
 public:
  Elm327Line(serial::TSerComm& comm, session::Clock& clock, Elm327Options options = {});

  void SetDeviceName(const std::string& name) override { comm_.SetDeviceName(name); }
  std::string DeviceName() const override { return comm_.DeviceName(); }
  void OpenPort() override;
  // Takes the port as a probe left it, open at the chip's rate (options' rate is not applied),
  // and sets the chip up as OpenPort does; ClosePort then puts `rate_after_close` back.
  void TakeOpenPort(int rate_after_close);
  void ClosePort() override;
  bool PortOpen() const override { return comm_.PortOpen(); }
  void SetDtrState(bool) override {}
  void SetBreakState(bool) override {}
  int SendBytes(const std::uint8_t* data, int count) override;
  // Answer frames read so far, never waiting.
  int ReadBytes(std::uint8_t* data, int count) override;

  // The component reports `count` bytes of text waiting: reads them, acts on them, and when
  // answer frames came tells on_frames how many frame bytes wait for ReadBytes.
  void TextReceived(int count);
  std::function<void(int count)> on_frames;

  int baud_rate() const { return options_.baud_rate; }
  // The chip's identification from its last reset ("ELM327 v1.5"); empty until one came.
  const std::string& version() const { return version_; }
  // Whether the chip refused ATFI since the port opened (the clone path).
  bool init_command_refused() const { return init_refused_; }
  // Whether a command is out and the chip's prompt has not come yet.
  bool chip_busy() const { return in_flight_.has_value(); }

 private:
  enum class Kind { Setup, Init, CloseProtocol, Header, Request };
  struct Command {
    Kind kind;
    std::string text;
    const char* fallback = nullptr;
    bool required = true;
    bool reset = false;           // a reset: the chip's identification is its answer
    Header header{};              // Init and Request: the header they need; Header: the one it sets
    std::uint32_t queued_ms = 0;  // Init, CloseProtocol and Request expire
  };
  // What the lines before the prompt said about the command in flight.
  struct Outcome {
    bool refused = false;      // "?"
    bool stopped = false;      // STOPPED
    bool init_failed = false;  // BUS INIT: ...ERROR, UNABLE TO CONNECT
  };

  void ResetState();
  void QueueSetup();
  void OnEvent(const ChipTextReader::Event& event);
  void OnLine(const ChipLine& line);
  void OnPrompt();
  void SendNext();
  void Send(const Command& command);
  void CheckPromptOverdue();
  void FinishSetup(const Command& done);
  void Report(const std::string& message);
  void RaisePending();
  std::string Name() const;

  serial::TSerComm& comm_;
  session::Clock& clock_;
  const Elm327Options options_;
  int rate_before_open_ = 0;

  ChipTextReader reader_;
  std::deque<Command> queue_;         // at most the set-up and one request with its init
  std::optional<Command> in_flight_;  // sent; its prompt has not come
  std::uint32_t sent_ms_ = 0;
  Outcome outcome_;
  std::optional<Header> chip_header_;  // what the chip puts in front of requests now
  bool init_refused_ = false;
  bool setup_needed_ = false;  // the set-up failed: the next request runs it again
  bool new_answers_ = false;
  std::vector<std::uint8_t> answers_;  // frame bytes for ReadBytes, bounded
  std::string version_;
  std::string pending_error_;  // raised once the text in hand is dealt with
  std::string last_error_;     // not raised again until an answer comes
};

}  // namespace m797::elm327
