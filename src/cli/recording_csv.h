#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared_texts/quantities.h"

namespace m797::cli {

// A recording of live data as comma-separated values: one row per complete cycle, a time stamp in
// ISO 8601 and the milliseconds since testing started, then the eight quantities; a header line
// names every column with its unit.  Lines starting with '#' carry what the recorder knew besides
// (port, controller type, the trouble codes when it read them) and are skipped by spreadsheets
// that know comments.
//
//   # port: COM1
//   # controller type: 1
//   time,ms,speed [km/h],engine speed [rpm],...
//   2026-12-08T09:14:03.512+01:00,1734,42,850,...

inline constexpr const char* kTimeColumn = "time";
inline constexpr const char* kMillisecondsColumn = "ms";

// "2026-12-08T09:14:03.512+01:00": local time with milliseconds and the offset from UTC.
std::string IsoLocalTime(std::chrono::system_clock::time_point when);

// Writes a recording.  Every line is handed to the file at once, so that the rows written so far
// survive whatever ends the program; Close reports a failed write.
class RecordingWriter {
 public:
  // Throws std::runtime_error naming the file when it cannot be created.
  explicit RecordingWriter(const std::string& path);
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  void WriteHeader(const std::string& port, int controller_type);
  // Fault lines as the fault lists show them ("0102 - ...").
  void WriteCodes(const std::vector<std::string>& current, const std::vector<std::string>& stored);
  void WriteRow(const std::string& time, std::int64_t ms,
                const shared_texts::QuantityValues& values);
  // Flushes and closes; throws std::runtime_error when anything could not be written.
  void Close();

  int rows() const { return rows_; }

 private:
  void Line(const std::string& text);

  std::string path_;
  std::FILE* file_;
  bool failed_ = false;
  int rows_ = 0;
};

struct RecordingRow {
  std::string time;
  double ms = 0;
  shared_texts::QuantityValues values{};
};

struct Recording {
  std::string port;         // empty when not recorded
  int controller_type = 0;  // 0 when not recorded
  bool codes_read = false;
  std::vector<std::string> current_codes;
  std::vector<std::string> stored_codes;
  std::vector<RecordingRow> rows;
};

// A recording that cannot be used; the message names the file and, where it applies, the line.
class RecordingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a recording.  The columns are found by their names, in any order, and all must be there;
// every cell must be a number (the time stamp apart) and there must be at least one row.
Recording ReadRecording(std::istream& in, const std::string& name);
Recording ReadRecordingFile(const std::string& path);

// The shortest text that reads back as the same float.
std::string FloatText(float value);

}  // namespace m797::cli
