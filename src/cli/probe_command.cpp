// m797-cli probe: what adapter is on a port.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "elm327/port_probe.h"
#include "qt_adapters/qt_main_thread_dispatcher.h"
#include "qt_adapters/qt_settings_store.h"
#include "serial/ser_comm.h"
#include "session/session_controls.h"
#include "session/session_texts.h"
#include "session/steady_clock.h"
#include "tester_port/ser_comm_line.h"

namespace m797::cli {

namespace {

constexpr std::uint32_t kVoltageWaitMs = 1000;

// The port the window last used, as its start-up picks it.
std::string StoredPort() {
  qt_adapters::QtSettingsStore settings;
  const int index = settings.ReadInteger(session::kSettingsSection, session::kPortSetting, 0);
  return "COM" + std::to_string((index >= 0 && index < session::kPortCount ? index : 0) + 1);
}

// The first line of the chip's answer that says something.
std::string FirstLine(const std::string& answer) {
  std::size_t start = answer.find_first_not_of("\n ");
  if (start == std::string::npos) return {};
  return answer.substr(start, answer.find('\n', start) - start);
}

}  // namespace

int RunProbe(const CliOptions& options) {
  qt_adapters::QtMainThreadDispatcher dispatcher;
  serial::TSerComm comm(dispatcher);
  tester_port::ConfigureTesterPort(comm);
  const std::string port = options.port.value_or(StoredPort());
  comm.SetDeviceName(port);
  try {
    comm.OpenPort();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "m797-cli: %s\n", e.what());
    return kExitPortNotOpened;
  }
  session::SteadyClock clock;
  const elm327::ProbeResult found = elm327::ProbeForChip(comm, clock, elm327::kChipRates);
  std::printf("port: %s\n", port.c_str());
  switch (found.found) {
    case elm327::ProbeResult::Found::Chip: {
      const auto voltage = elm327::ChipExchange(comm, clock, "ATRV", kVoltageWaitMs);
      std::printf("adapter: ELM327\nversion: %s\nrate: %d bit/s\nvoltage: %s\n",
                  found.version.empty() ? "(not given)" : found.version.c_str(), found.baud_rate,
                  voltage ? FirstLine(*voltage).c_str() : "(no answer)");
      return kExitOk;
    }
    case elm327::ProbeResult::Found::Cable:
      std::printf("adapter: K-line cable (it gives back what is sent on it)\n");
      return kExitOk;
    case elm327::ProbeResult::Found::Nothing:
      break;
  }
  std::fprintf(stderr,
               "m797-cli: no adapter answered on %s: neither an ELM327 (at 38400, 9600 or 115200 "
               "bit/s) nor the echo of a K-line cable\n",
               port.c_str());
  return kExitNoAnswer;
}

}  // namespace m797::cli
