#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "serial/ser_comm.h"
#include "session/clock.h"

namespace m797::elm327 {

// The rates an ELM327-type adapter's serial side runs at, the most common first.
inline constexpr int kChipRates[] = {38400, 9600, 115200};

// What answered on a port when it was asked for an ELM327.
struct ProbeResult {
  enum class Found { Nothing, Cable, Chip };
  Found found = Found::Nothing;
  int baud_rate = 0;    // Chip: the rate it answered at
  std::string version;  // Chip: its identification ("ELM327 v1.5"), when it gave one
};

// Asks the open port for an ELM327 at each of `rates` in turn: "ATI" and the chip's prompt within
// `wait_ms`.  A K-line cable answers with its own echo of the command and no prompt.  The port's
// rate is left at the chip's when one answered, and put back otherwise.  Reads the port directly,
// so it works inside a handler of the session, whose receive notifications wait meanwhile.
ProbeResult ProbeForChip(serial::TSerComm& comm, session::Clock& clock, std::span<const int> rates,
                         std::uint32_t wait_ms = 400);

// Sends one command to a chip that is ready for it and returns its answer without the prompt,
// line ends as '\n'; nothing when no prompt came within `wait_ms`.  The answer is bounded.
std::optional<std::string> ChipExchange(serial::TSerComm& comm, session::Clock& clock,
                                        const std::string& command, std::uint32_t wait_ms);

}  // namespace m797::elm327
