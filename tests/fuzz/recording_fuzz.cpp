// m797-cli report's reader on any file: it refuses what it cannot use with a message, and what it
// takes holds numbers within the recording's bounds.
#include <cmath>
#include <sstream>
#include <string>

#include "cli/recording_csv.h"
#include "fuzz_entries.h"

namespace m797::fuzz {

void RecordingInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  cli::Recording recording;
  try {
    recording = cli::ReadRecording(in, "fuzz.csv");
  } catch (const cli::RecordingError&) {
    return;
  }
  Expect(!recording.rows.empty(), "a recording without rows was taken");
  for (const cli::RecordingRow& row : recording.rows) {
    Expect(std::isfinite(row.ms) && row.ms >= 0, "a row's time is not a time");
    for (float value : row.values)
      Expect(std::isfinite(value), "a row holds a value that is not a number");
  }
}

}  // namespace m797::fuzz
