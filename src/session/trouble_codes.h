#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "session/response_data.h"
#include "session/session_controls.h"

namespace m797::session {

struct TroubleCode {
  const char* code;         // four upper-case hex digits, e.g. "0102"
  const char* description;  // Russian, shown as it stands
};

// Every code the tester can name, in table order.
std::span<const TroubleCode> TroubleCodeTable();

// The table row for a code text (exact, case-sensitive), or nullptr.
const TroubleCode* FindTroubleCode(std::string_view code);

// "0102 - <description>": the line a fault list shows for a row.
std::string TroubleCodeLine(const TroubleCode& row);

// The code text of an entry: high byte then low byte, two upper-case hex digits each.
std::string TroubleCodeText(std::uint8_t high, std::uint8_t low);

// Rebuilds the two fault lists from an answer to ReadDiagnosticTroubleCodesByStatus: current
// faults to Memo1, stored or intermittent ones to Memo2, in answer order; codes the table does not
// know and entries with no storage state are skipped.  An answer without entries empties both
// lists, so that a cleared fault memory shows no faults.
void ShowTroubleCodes(const ResponseData& data, SessionControls& controls);

}  // namespace m797::session
