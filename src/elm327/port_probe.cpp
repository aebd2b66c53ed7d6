#include "elm327/port_probe.h"

#include <algorithm>
#include <array>

#include "session/blocking_wait.h"

namespace m797::elm327 {

namespace {

constexpr std::size_t kLongestAnswer = 512;  // an identification or a voltage is a few dozen
constexpr std::uint32_t kReadInterval = 5;
// A chip answers a command it can take at once within a few milliseconds of its echo.
constexpr std::uint32_t kQuietAfterText = 100;

// Throws away what waits in the port: an answer to something sent before is not the probe's.
void Drain(serial::TSerComm& comm) {
  std::array<std::uint8_t, 256> chunk{};
  for (int waiting = comm.InQueueCount(); waiting > 0; waiting = comm.InQueueCount()) {
    if (comm.ReadBytes(chunk.data(), std::min<int>(waiting, chunk.size())) <= 0) return;
  }
}

// What came within `wait_ms`, up to and with the first prompt, bounded; `prompted` tells whether
// the prompt came.
std::string ReadUntilPrompt(serial::TSerComm& comm, session::Clock& clock, std::uint32_t wait_ms,
                            bool& prompted) {
  std::string text;
  prompted = false;
  const std::uint32_t start = clock.TickCount();
  std::uint32_t last_heard = start;
  std::array<std::uint8_t, 256> chunk{};
  while (clock.TickCount() - start <= wait_ms) {
    session::WaitTicksMoreThan(clock, kReadInterval);
    const int waiting = comm.InQueueCount();
    if (waiting <= 0) {
      // Something came and then nothing for a while: a cable's echo, or a chip at another rate.
      if (!text.empty() && clock.TickCount() - last_heard > kQuietAfterText) return text;
      continue;
    }
    last_heard = clock.TickCount();
    const int read = comm.ReadBytes(chunk.data(), std::min<int>(waiting, chunk.size()));
    for (int i = 0; i < read; ++i) {
      const char c = static_cast<char>(chunk[i]);
      if (c == '>') {
        prompted = true;
        return text;
      }
      if (text.size() < kLongestAnswer) text += c == '\r' ? '\n' : c;
    }
  }
  return text;
}

std::optional<std::string> Exchange(serial::TSerComm& comm, session::Clock& clock,
                                    const std::string& command, std::uint32_t wait_ms,
                                    std::string* heard = nullptr) {
  Drain(comm);
  const std::string line = command + "\r";
  comm.SendBytes(line.data(), static_cast<int>(line.size()));
  bool prompted = false;
  std::string text = ReadUntilPrompt(comm, clock, wait_ms, prompted);
  if (heard) *heard = text;
  if (!prompted) return std::nullopt;
  // A chip with its echo on (as after a reset) gives the command back first.
  if (text.starts_with(line.substr(0, command.size()) + "\n")) text.erase(0, command.size() + 1);
  return text;
}

// The line of an answer that names the chip, without blanks around it.
std::string IdentificationIn(const std::string& answer) {
  std::size_t start = 0;
  while (start < answer.size()) {
    const std::size_t end = std::min(answer.find('\n', start), answer.size());
    const std::string line = answer.substr(start, end - start);
    if (line.find("ELM327") != std::string::npos) {
      const auto first = line.find_first_not_of(' ');
      const auto last = line.find_last_not_of(' ');
      return line.substr(first, last - first + 1);
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

std::optional<std::string> ChipExchange(serial::TSerComm& comm, session::Clock& clock,
                                        const std::string& command, std::uint32_t wait_ms) {
  return Exchange(comm, clock, command, wait_ms);
}

ProbeResult ProbeForChip(serial::TSerComm& comm, session::Clock& clock, std::span<const int> rates,
                         std::uint32_t wait_ms) {
  static const std::string kIdentify = "ATI";
  const int rate_before = comm.UserBaudrate();
  ProbeResult result;
  for (const int rate : rates) {
    comm.SetUserBaudrate(rate);
    std::string heard;
    auto answer = Exchange(comm, clock, kIdentify, wait_ms, &heard);
    if (!answer) {
      // A single wire gives back what was sent on it, at any rate.
      if (heard.find(kIdentify + "\n") != std::string::npos) {
        result.found = ProbeResult::Found::Cable;
        break;
      }
      continue;
    }
    std::string version = IdentificationIn(*answer);
    // What the chip held from before (bytes at another rate) may have spoilt the first command.
    if (version.empty()) {
      if (auto again = Exchange(comm, clock, kIdentify, wait_ms))
        version = IdentificationIn(*again);
    }
    return {ProbeResult::Found::Chip, rate, version};
  }
  comm.SetUserBaudrate(rate_before);
  return result;
}

}  // namespace m797::elm327
