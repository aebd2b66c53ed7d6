#pragma once

#include <cstdint>
#include <optional>

#include "session/response_data.h"
#include "session/session_controls.h"

namespace m797::session {

// Rounds to the nearest integer, a value exactly halfway going to the even neighbour.
double Nearest(double x);

// Decodes an answer to ReadDataByLocalIdentifier for the given controller type (0, 1, 2 for
// "Type 1" .. "Type 3"), writes the values to the gauges and returns the poll state that asks for
// the next record of that type's cycle.  A combination without a record layout changes nothing
// and gives no state.
std::optional<std::uint8_t> ShowLiveData(std::uint8_t local_identifier, const ResponseData& data,
                                         int controller_type, SessionControls& controls);

}  // namespace m797::session
