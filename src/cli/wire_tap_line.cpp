#include "cli/wire_tap_line.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "wire_log/monotonic_ms.h"
#include "wire_log/wire_log_line.h"

namespace m797::cli {

namespace {

bool WriteLine(std::FILE* log, double ms, wire_log::Direction direction, const std::uint8_t* bytes,
               std::size_t count) {
  const std::string line = wire_log::FormatLine(ms, direction, bytes, count);
  return std::fputs(line.c_str(), log) != EOF && std::fputc('\n', log) != EOF &&
         std::fflush(log) != EOF;
}

}  // namespace

void WireTapLine::OpenPort() {
  try {
    line_.OpenPort();
    open_failed_ = false;
  } catch (...) {
    open_failed_ = true;
    throw;
  }
  if (!log_path_.empty() && !log_) {
    try {
      OpenLog();
    } catch (...) {
      line_.ClosePort();
      throw;
    }
  }
}

void WireTapLine::OpenLog() {
  log_ = std::fopen(log_path_.c_str(), "wb");  // the same bytes on Windows: no CR before LF
  if (!log_) throw std::runtime_error(log_path_ + ": " + std::strerror(errno));
}

bool WireTapLine::CloseLog() {
  if (!log_) return log_ok_;
  log_ok_ = std::fclose(log_) == 0 && log_ok_;
  log_ = nullptr;
  return log_ok_;
}

void WireTapLine::ClosePort() {
  FlushReceived();
  line_.ClosePort();
}

int WireTapLine::SendBytes(const std::uint8_t* data, int count) {
  // Whatever came before belongs to the previous request, as it does for the session.
  FlushReceived();
  const double ms = wire_log::MonotonicMs();
  const int sent = line_.SendBytes(data, count);
  if (sent > 0) sending_ = true;
  if (log_ && sent > 0) {
    log_ok_ = WriteLine(log_, ms, wire_log::Direction::Tx, data, static_cast<std::size_t>(sent)) &&
              log_ok_;
  }
  return sent;
}

int WireTapLine::ReadBytes(std::uint8_t* data, int count) {
  const int read = line_.ReadBytes(data, count);
  if (read > 0) {
    received_.Feed(data, static_cast<std::size_t>(read), wire_log::MonotonicMs(),
                   [this](double ms, const auto& bytes) { Received(ms, bytes); });
  }
  return read;
}

void WireTapLine::FlushReceived() {
  received_.Flush([this](double ms, const auto& bytes) { Received(ms, bytes); });
}

void WireTapLine::Received(double ms, const std::vector<std::uint8_t>& bytes) {
  if (log_) {
    log_ok_ = WriteLine(log_, ms, wire_log::Direction::Rx, bytes.data(), bytes.size()) && log_ok_;
  }
  if (on_received_frame) on_received_frame(bytes);
}

}  // namespace m797::cli
