// Program start and end, the start/stop button, the link label and the K-line wake-up.
#include <string>

#include "session/blocking_wait.h"
#include "session/diagnostic_session.h"
#include "session/poll_requests.h"
#include "session/request_frame.h"
#include "session/session_texts.h"

namespace m797::session {

namespace {

constexpr std::uint32_t kWakeUpPauseMs = 300;
constexpr std::int64_t kWakeUpPhaseMs = 25;  // the break, then as long idle

// An absent or unreadable setting selects the first item.
int StoredIndex(SettingsStore& settings, const char* ident) {
  const int index = settings.ReadInteger(kSettingsSection, ident, -1);
  return index == -1 ? 0 : index;
}

}  // namespace

DiagnosticSession::DiagnosticSession(SerialLine& line, Clock& clock, SessionTimers timers,
                                     SettingsStore& settings, SessionControls& controls)
    : line_(line),
      clock_(clock),
      timers_(timers),
      settings_(settings),
      controls_(controls),
      request_text_(kStartCommunicationRequest) {}

void DiagnosticSession::FormCreate() {
  controls_.SetItemIndex(Selector::ComboBox1, StoredIndex(settings_, kPortSetting));
  controls_.SetItemIndex(Selector::ComboBox2, StoredIndex(settings_, kTypeSetting));
  ResetPollVariables();
  controls_.SetGaugeValue(Gauge::VS_TOG, 0.0f);
}

void DiagnosticSession::FormClose() {
  settings_.WriteInteger(kSettingsSection, kPortSetting, controls_.ItemIndex(Selector::ComboBox1));
  settings_.WriteInteger(kSettingsSection, kTypeSetting, controls_.ItemIndex(Selector::ComboBox2));
}

void DiagnosticSession::Button1Click() {
  const std::string caption = controls_.ToolButton1Caption();
  if (caption == kStartCaption) {
    Start();
  } else if (caption == kStopCaption) {
    Stop();
  }
}

void DiagnosticSession::Timer1Timer() {
  controls_.SetLabel10Caption(kLinkDownCaption);
}

void DiagnosticSession::Start() {
  const int port = controls_.ItemIndex(Selector::ComboBox1);
  if (port >= 0 && port < kPortCount) line_.SetDeviceName("COM" + std::to_string(port + 1));
  SetSelectorsEnabled(false);
  try {
    line_.OpenPort();
  } catch (...) {
    // The user must be able to pick another port after a failed open.
    SetSelectorsEnabled(true);
    throw;
  }
  try {
    line_.SetDtrState(true);
    WaitTicksMoreThan(clock_, kWakeUpPauseMs);
    WakeUpLine();
    request_text_ = kStartCommunicationRequest;
    poll_state_ = poll::kStartCommunication;
    const auto frame = EncodeRequest(request_text_);
    line_.SendBytes(frame.data(), static_cast<int>(frame.size()));
    sent_request_ = poll_state_;
  } catch (...) {
    // Leave the stopped state whole: a port left open would refuse the next start.
    line_.ClosePort();
    SetSelectorsEnabled(true);
    throw;
  }
  timers_.timer2.SetEnabled(true);
  controls_.SetToolButton1Caption(kStopCaption);
}

void DiagnosticSession::Stop() {
  controls_.SetToolButton1Caption(kStartCaption);
  line_.ClosePort();
  ResetPollVariables();
  controls_.SetGaugeValue(Gauge::VS_TOG, 0.0f);
  SetSelectorsEnabled(true);
  timers_.timer3.SetEnabled(false);
  timers_.timer2.SetEnabled(false);
}

void DiagnosticSession::ResetPollVariables() {
  request_text_ = kStartCommunicationRequest;
  poll_state_ = poll::kStartCommunication;
  sent_request_ = poll::kStartCommunication;
  assembler_.Reset();
}

void DiagnosticSession::SetSelectorsEnabled(bool enabled) {
  controls_.SetSelectorEnabled(Selector::ComboBox1, enabled);
  controls_.SetSelectorEnabled(Selector::ComboBox2, enabled);
}

void DiagnosticSession::WakeUpLine() {
  // Each phase is timed from the return of the call that began it: a driver may take a while to
  // set or clear the break (the FTDI driver asks the adapter for its modem status first), and
  // that time must come off neither the break nor the idle phase that follows it.  The thread is
  // held against preemption for the pattern alone: a scheduler slice given to another process
  // in the middle of a phase would lengthen it by several milliseconds.
  const std::int64_t phase = kWakeUpPhaseMs * clock_.PerformanceFrequency() / 1000;
  line_.BeforeWakeUp();
  const TimeCriticalSpan on_time(clock_);
  line_.SetBreakState(true);
  WaitCounterPast(clock_, clock_.PerformanceCounter() + phase);
  line_.SetBreakState(false);
  WaitCounterPast(clock_, clock_.PerformanceCounter() + phase);
}

}  // namespace m797::session
