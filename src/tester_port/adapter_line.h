#pragma once

#include <functional>
#include <optional>
#include <string>

#include "elm327/elm327_line.h"
#include "serial/ser_comm.h"
#include "session/clock.h"
#include "session/frame_assembler.h"
#include "session/serial_line.h"
#include "session/settings_store.h"
#include "tester_port/ser_comm_line.h"

namespace m797::session {
class DiagnosticSession;
}

namespace m797::tester_port {

// Which adapter the tester takes the port for.
enum class AdapterChoice {
  Auto,    // the one remembered for the port, else a K-line cable that looks for an ELM327
  Cable,   // a K-line cable only
  Elm327,  // an ELM327-type chip only, at the rate remembered or found
};

// The session's line through whichever adapter is on the port.
//
// A start goes through a K-line cable exactly as it always has.  Only when that start has had no
// answer and the session is about to wake the line again does the line ask the port for an
// ELM327 (ATI at 38400, 9600 and 115200 bit/s), before the wake-up pattern; a chip that answers
// carries the session from there on, and its rate is remembered for the port (the COM name) in
// the settings, so that the next start goes through it at once.  A remembered chip that has not
// answered by the session's second wake-up is forgotten and the cable takes over, wake-up
// included.
//
// The owner routes the component's OnRxChar to Received, and on_bytes to the session's
// SerComm1RxChar (ConnectTesterPort below does both).  Everything runs on the main thread.
class AdapterLine final : public session::SerialLine {
 public:
  AdapterLine(serial::TSerComm& comm, session::Clock& clock, session::SettingsStore& settings,
              AdapterChoice choice = AdapterChoice::Auto);

  void SetDeviceName(const std::string& name) override { comm_.SetDeviceName(name); }
  std::string DeviceName() const override { return comm_.DeviceName(); }
  void OpenPort() override;
  void ClosePort() override;
  bool PortOpen() const override { return comm_.PortOpen(); }
  void BeforeWakeUp() override;
  void SetDtrState(bool on) override;
  void SetBreakState(bool on) override;
  int SendBytes(const std::uint8_t* data, int count) override;
  int ReadBytes(std::uint8_t* data, int count) override;

  void SetChoice(AdapterChoice choice) { choice_ = choice; }
  // The component reports `count` bytes waiting; on_bytes then tells how many the session may read.
  void Received(int count);
  std::function<void(int count)> on_bytes;

  bool through_chip() const { return elm_.has_value(); }
  // "ELM327 v1.5, 38400 bit/s" through a chip (its version once it gave it); empty on a cable.
  std::string Description() const;
  // Called when Description changes.
  std::function<void()> on_description_change;

  // The settings key that remembers the chip's rate for a COM name ("ELM327_COM1"); empty for
  // any other device name, whose adapter is not remembered.
  static std::string RememberKey(const std::string& device_name);
  // What is remembered for a COM name: "ELM327, 38400 bit/s", or empty.
  static std::string RememberedDescription(session::SettingsStore& settings,
                                           const std::string& device_name);

 private:
  bool IsStartCommunication(const std::uint8_t* data, int count) const;
  // Through a chip at `rate`: opening the port, or taking it open from a probe.
  void TakeChip(int rate, std::optional<int> open_at_cable_rate);
  void BackToCable();
  void Remember(int rate);
  void NoteDescription();

  serial::TSerComm& comm_;
  session::Clock& clock_;
  session::SettingsStore& settings_;
  AdapterChoice choice_;
  SerCommLine cable_;
  std::optional<elm327::Elm327Line> elm_;
  session::FrameAssembler answers_;  // the cable's answers, as the session assembles them
  bool answered_ = false;            // a frame for the tester came since the port opened
  bool looked_again_ = false;        // this opening has looked for the other adapter already
  int start_requests_ = 0;           // StartCommunication requests since the port opened
  std::string description_;
};

// Runs a handler as its shell runs the handlers of the session: under the shell's guard, which
// keeps an exception from going further.
using HandlerRunner = std::function<void(const std::function<void()>& handler)>;

// Sets `port` up as the tester's port (ConfigureTesterPort) and routes what it receives to the
// session: the component's OnRxChar to `line.Received`, run by `run_receive`, and the line's
// on_bytes to the session's SerComm1RxChar.  Both shells wire their session so.
void ConnectTesterPort(serial::TSerComm& port, AdapterLine& line,
                       session::DiagnosticSession& session, HandlerRunner run_receive);

}  // namespace m797::tester_port
