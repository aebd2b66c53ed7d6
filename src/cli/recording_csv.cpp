#include "cli/recording_csv.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <string_view>

namespace m797::cli {

namespace {

constexpr std::string_view kPortNote = "port: ";
constexpr std::string_view kTypeNote = "controller type: ";
constexpr std::string_view kCodesReadNote = "trouble codes read";
constexpr std::string_view kCurrentNote = "current fault: ";
constexpr std::string_view kStoredNote = "stored fault: ";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string_view> SplitCells(std::string_view line) {
  std::vector<std::string_view> cells;
  for (;;) {
    const auto comma = line.find(',');
    cells.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos) return cells;
    line.remove_prefix(comma + 1);
  }
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

template <typename T>
std::optional<T> Number(std::string_view cell) {
  T value{};
  const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  if (cell.empty() || ec != std::errc() || end != cell.data() + cell.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// Where each needed column stands in the header.
struct Columns {
  int time = -1;
  int ms = -1;
  std::array<int, shared_texts::kQuantityCount> quantities{};
  std::vector<std::string> names;
};

Columns FindColumns(std::string_view header, const std::string& where) {
  Columns columns;
  const auto cells = SplitCells(header);
  for (std::string_view cell : cells)
    columns.names.emplace_back(Trimmed(cell));
  auto find = [&](std::string_view name) {
    for (std::size_t i = 0; i < cells.size(); ++i)
      if (Trimmed(cells[i]) == name) return static_cast<int>(i);
    throw RecordingError(where + ": no column \"" + std::string(name) + "\" in the header");
  };
  columns.time = find(kTimeColumn);
  columns.ms = find(kMillisecondsColumn);
  for (int q = 0; q < shared_texts::kQuantityCount; ++q)
    columns.quantities[q] = find(shared_texts::Quantities()[q].column);
  return columns;
}

// The bounds of what a recording may hold: the recorder writes milliseconds since its start, and
// quantities the controller's bytes decode to.  Beyond them a number is a damaged or foreign file,
// and would not fit the report's float values or its time axis.
constexpr double kLongestRecordingMs = 1e12;  // about 31 years
constexpr double kLargestQuantity = 1e9;

// The local time at `seconds` into `local`; returns its offset from UTC in minutes.
long LocalTime(std::time_t seconds, std::tm& local) {
#ifdef _WIN32
  localtime_s(&local, &seconds);
  std::tm as_utc = local;  // the same fields read as UTC: ahead of UTC by the offset
  return static_cast<long>(_mkgmtime(&as_utc) - seconds) / 60;
#else
  localtime_r(&seconds, &local);
  return local.tm_gmtoff / 60;
#endif
}

}  // namespace

std::string IsoLocalTime(std::chrono::system_clock::time_point when) {
  const auto ms_total =
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms_total / 1000);
  std::tm local{};
  const long offset_min = LocalTime(seconds, local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  char text[64];
  std::snprintf(text, sizeof text, "%s.%03d%c%02ld:%02ld", date, static_cast<int>(ms_total % 1000),
                offset_min < 0 ? '-' : '+', std::labs(offset_min) / 60, std::labs(offset_min) % 60);
  return text;
}

std::string FloatText(float value) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, ec == std::errc() ? end : text);
}

RecordingWriter::RecordingWriter(const std::string& path)
    : path_(path), file_(std::fopen(path.c_str(), "wb")) {  // no CR before LF on Windows
  if (!file_) throw std::runtime_error(path + ": " + std::strerror(errno));
}

RecordingWriter::~RecordingWriter() {
  if (file_) std::fclose(file_);
}

void RecordingWriter::Line(const std::string& text) {
  if (!file_) return;
  if (std::fputs(text.c_str(), file_) == EOF || std::fputc('\n', file_) == EOF ||
      std::fflush(file_) == EOF) {
    failed_ = true;
  }
}

void RecordingWriter::WriteHeader(const std::string& port, int controller_type) {
  Line("# " + std::string(kPortNote) + port);
  Line("# " + std::string(kTypeNote) + std::to_string(controller_type));
  std::string header = std::string(kTimeColumn) + "," + kMillisecondsColumn;
  for (const shared_texts::Quantity& q : shared_texts::Quantities())
    header += std::string(",") + q.column;
  Line(header);
}

void RecordingWriter::WriteCodes(const std::vector<std::string>& current,
                                 const std::vector<std::string>& stored) {
  Line("# " + std::string(kCodesReadNote));
  for (const std::string& line : current)
    Line("# " + std::string(kCurrentNote) + line);
  for (const std::string& line : stored)
    Line("# " + std::string(kStoredNote) + line);
}

void RecordingWriter::WriteRow(const std::string& time, std::int64_t ms,
                               const shared_texts::QuantityValues& values) {
  std::string row = time + "," + std::to_string(ms);
  for (float v : values) {
    row += ',';
    row += FloatText(v);
  }
  Line(row);
  ++rows_;
}

void RecordingWriter::Close() {
  if (!file_) return;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (failed_ || !closed) throw std::runtime_error(path_ + ": could not be written completely");
}

Recording ReadRecording(std::istream& in, const std::string& name) {
  Recording recording;
  std::optional<Columns> columns;
  int number = 0;
  for (std::string text; std::getline(in, text);) {
    ++number;
    const std::string where = name + ":" + std::to_string(number);
    const std::string_view line = Trimmed(text);
    if (line.empty()) continue;
    if (line.front() == '#') {
      const std::string_view note = Trimmed(line.substr(1));
      if (StartsWith(note, kPortNote)) {
        recording.port = note.substr(kPortNote.size());
      } else if (StartsWith(note, kTypeNote)) {
        recording.controller_type = Number<int>(note.substr(kTypeNote.size())).value_or(0);
      } else if (note == kCodesReadNote) {
        recording.codes_read = true;
      } else if (StartsWith(note, kCurrentNote)) {
        recording.current_codes.emplace_back(note.substr(kCurrentNote.size()));
      } else if (StartsWith(note, kStoredNote)) {
        recording.stored_codes.emplace_back(note.substr(kStoredNote.size()));
      }
      continue;
    }
    if (!columns) {
      columns = FindColumns(line, where);
      continue;
    }
    const auto cells = SplitCells(line);
    if (cells.size() != columns->names.size()) {
      throw RecordingError(where + ": " + std::to_string(cells.size()) + " cells, the header has " +
                           std::to_string(columns->names.size()));
    }
    auto number_at = [&](int column, double low, double high) {
      const std::string_view cell = Trimmed(cells[column]);
      const auto value = Number<double>(cell);
      const std::string what = where + ": \"" + std::string(cell) + "\" in column \"" +
                               columns->names[column] + "\" is ";
      if (!value) throw RecordingError(what + "not a number");
      if (*value < low || *value > high) throw RecordingError(what + "out of range");
      return *value;
    };
    RecordingRow row;
    row.time = Trimmed(cells[columns->time]);
    row.ms = number_at(columns->ms, 0, kLongestRecordingMs);
    for (int q = 0; q < shared_texts::kQuantityCount; ++q) {
      row.values[q] = static_cast<float>(
          number_at(columns->quantities[q], -kLargestQuantity, kLargestQuantity));
    }
    recording.rows.push_back(std::move(row));
  }
  if (in.bad()) throw RecordingError(name + ": read error");
  if (!columns) throw RecordingError(name + ": no header line, so not a recording of live data");
  if (recording.rows.empty()) throw RecordingError(name + ": no rows of live data");
  return recording;
}

Recording ReadRecordingFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw RecordingError(path + ": " + std::strerror(errno));
  return ReadRecording(in, path);
}

}  // namespace m797::cli
