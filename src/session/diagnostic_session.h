#pragma once

#include <cstdint>
#include <string>

#include "session/clock.h"
#include "session/frame_assembler.h"
#include "session/serial_line.h"
#include "session/session_controls.h"
#include "session/session_timer.h"
#include "session/settings_store.h"

namespace m797::session {

// The three timers of the main window.  Their owner gives them the intervals below, enables Timer1
// from the start and calls the matching handler on every tick.
struct SessionTimers {
  SessionTimer& timer1;  // resets the link status label
  SessionTimer& timer2;  // watchdog: wake-up and StartCommunication
  SessionTimer& timer3;  // retry of the last request
};

// The timers' intervals, in milliseconds.
inline constexpr int kLinkStatusIntervalMs = 10000;  // timer1
inline constexpr int kWatchdogIntervalMs = 2000;     // timer2
inline constexpr int kRetryIntervalMs = 1000;        // timer3

// The diagnostic session behind the main window: start and stop, the K-line wake-up, framing,
// the answer-driven poll cycle with its retry and watchdog, live data and trouble codes.
// Every handler runs on the main thread; the timed waits block it on purpose.  Exceptions from the
// serial line pass through to the caller, which shows them.
class DiagnosticSession {
 public:
  DiagnosticSession(SerialLine& line, Clock& clock, SessionTimers timers, SettingsStore& settings,
                    SessionControls& controls);

  void FormCreate();
  void FormClose();
  void Button1Click();
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void SerComm1RxChar(int count);
  void PageControl1Change();
  void Button2Click();

  // The K-line fast-initialisation pattern: 25 ms break, then 25 ms idle.
  void WakeUpLine();

  std::uint8_t poll_state() const { return poll_state_; }
  // The request an answer belongs to: the poll state (poll_requests.h) that chose the request
  // sent last.  It names the request that an answer arriving now answers, and the one that the
  // answer being handled answered; the poll state may have moved on since, by the user's steering.
  std::uint8_t sent_request() const { return sent_request_; }
  const std::string& request_text() const { return request_text_; }
  const FrameAssembler& assembler() const { return assembler_; }

 private:
  void Start();
  void Stop();
  void ResetPollVariables();
  void SetSelectorsEnabled(bool enabled);
  // Handles one answer addressed to the tester; false when it closed the port.
  bool Dispatch(const ResponseData& data);
  void SendNextRequest();
  // Sends the current request text once more than `pause_ms` milliseconds have passed.
  void SendRequestAfter(std::uint32_t pause_ms);

  SerialLine& line_;
  Clock& clock_;
  SessionTimers timers_;
  SettingsStore& settings_;
  SessionControls& controls_;

  std::uint8_t poll_state_ = 0;
  std::uint8_t sent_request_ = 0;
  // The user changed the poll state (page, clear) since the last request went out.
  bool steered_by_user_ = false;
  std::string request_text_;
  FrameAssembler assembler_;
};

}  // namespace m797::session
