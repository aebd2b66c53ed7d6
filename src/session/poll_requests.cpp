#include "session/poll_requests.h"

namespace m797::session {

namespace {

struct PollRequests {
  std::uint8_t state;
  const char* next;
  const char* retry;
};

constexpr PollRequests kPollRequests[] = {
    {poll::kLiveData06, "21 06", "21 06"},
    {poll::kReadTroubleCodes, "18 00 00 00", "18 00 FF 00"},
    {poll::kClearTroubleCodes, "14 FF 00", "14 FF 00"},
    {poll::kLiveData02, "21 02", "21 02"},
    {poll::kLiveData04, "21 04", "21 04"},
    {poll::kLiveData05, "21 05", "21 05"},
    {poll::kLiveData03, "21 03", "21 03"},
    {poll::kStartDiagnosticSession, "10 86", "10 86"},
};

const PollRequests* Find(std::uint8_t state) {
  for (const PollRequests& row : kPollRequests) {
    if (row.state == state) return &row;
  }
  return nullptr;
}

}  // namespace

const char* NextRequestText(std::uint8_t state) {
  const PollRequests* row = Find(state);
  return row ? row->next : nullptr;
}

const char* RetryRequestText(std::uint8_t state) {
  const PollRequests* row = Find(state);
  return row ? row->retry : nullptr;
}

}  // namespace m797::session
