// The answer-driven poll cycle: dispatch of each answer, the paced next request, the retry and
// the watchdog, and the user's steering by page and by the clear button.
#include "session/blocking_wait.h"
#include "session/diagnostic_session.h"
#include "session/live_data.h"
#include "session/poll_requests.h"
#include "session/request_frame.h"
#include "session/session_texts.h"
#include "session/trouble_codes.h"

namespace m797::session {

namespace {

// The page of the product: the session neither reads live data nor trouble codes for it.
constexpr int kProductPage = 2;

constexpr std::uint32_t kAnswerPauseMs = 200;  // the next request leaves after more than this
constexpr std::uint32_t kRetryPauseMs = 300;

}  // namespace

bool DiagnosticSession::Dispatch(const ResponseData& data) {
  timers_.timer3.SetEnabled(false);
  timers_.timer2.SetEnabled(false);
  controls_.SetLabel10Caption(kLinkUpCaption);

  switch (data[0]) {
    case kReadDataByLocalIdentifierAnswer:
      // The answer names the next live-data request, unless the user has chosen another page
      // or the clear since the request went out: that choice would otherwise be lost to the
      // answer that was already on its way.
      if (auto next =
              ShowLiveData(data[1], data, controls_.ItemIndex(Selector::ComboBox2), controls_)) {
        if (!steered_by_user_) poll_state_ = *next;
      }
      break;
    case kTroubleCodesAnswer:
      ShowTroubleCodes(data, controls_);
      break;
    case kClearAnswer:
      poll_state_ = poll::kReadTroubleCodes;
      break;
    case kStartCommunicationAnswer:
      poll_state_ = poll::kStartDiagnosticSession;
      break;
    case kStartDiagnosticSessionAnswer: {
      const int page = controls_.ActivePageIndex();
      if (page == kTroubleCodePage) {
        poll_state_ = poll::kReadTroubleCodes;
      } else if (page != kProductPage) {
        poll_state_ = poll::kLiveData06;
      }
      break;
    }
    case kStopCommunicationAnswer:
      controls_.SetSelectorEnabled(Selector::ComboBox1, true);
      line_.ClosePort();
      return false;
    default:
      // A negative answer, or one we do not know: the same request goes out again.
      break;
  }
  SendNextRequest();
  return true;
}

void DiagnosticSession::SendNextRequest() {
  if (const char* text = NextRequestText(poll_state_)) request_text_ = text;
  SendRequestAfter(kAnswerPauseMs);
  timers_.timer3.SetEnabled(true);
}

void DiagnosticSession::Timer3Timer() {
  if (const char* text = RetryRequestText(poll_state_)) request_text_ = text;
  SendRequestAfter(kRetryPauseMs);
  timers_.timer3.SetEnabled(false);
  timers_.timer2.SetEnabled(true);
}

void DiagnosticSession::Timer2Timer() {
  WaitTicksMoreThan(clock_, kRetryPauseMs);
  WakeUpLine();
  request_text_ = kStartCommunicationRequest;
  poll_state_ = poll::kStartCommunication;
  SendRequestAfter(kRetryPauseMs);
}

void DiagnosticSession::SendRequestAfter(std::uint32_t pause_ms) {
  const auto frame = EncodeRequest(request_text_);
  WaitTicksMoreThan(clock_, pause_ms);
  line_.SendBytes(frame.data(), static_cast<int>(frame.size()));
  sent_request_ = poll_state_;
  // Whatever was being assembled belonged to the previous request.
  assembler_.ResetToIdle();
  steered_by_user_ = false;
}

void DiagnosticSession::PageControl1Change() {
  const int page = controls_.ActivePageIndex();
  if (page == kLiveDataPage) {
    poll_state_ = poll::kLiveData06;
    steered_by_user_ = true;
  } else if (page == kTroubleCodePage) {
    poll_state_ = poll::kReadTroubleCodes;
    steered_by_user_ = true;
  }
}

void DiagnosticSession::Button2Click() {
  poll_state_ = poll::kClearTroubleCodes;
  steered_by_user_ = true;
}

}  // namespace m797::session
