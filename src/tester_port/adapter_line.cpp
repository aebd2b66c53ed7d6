#include "tester_port/adapter_line.h"

#include <array>

#include "elm327/port_probe.h"
#include "serial/ser_error.h"
#include "session/diagnostic_session.h"
#include "session/session_texts.h"

namespace m797::tester_port {

namespace {

constexpr std::array<std::uint8_t, 5> kStartCommunication = {0x81, 0x11, 0xF1, 0x81, 0x04};

}  // namespace

AdapterLine::AdapterLine(serial::TSerComm& comm, session::Clock& clock,
                         session::SettingsStore& settings, AdapterChoice choice)
    : comm_(comm), clock_(clock), settings_(settings), choice_(choice), cable_(comm) {}

std::string AdapterLine::RememberKey(const std::string& device_name) {
  if (device_name.size() != 4 || device_name.compare(0, 3, "COM") != 0 || device_name[3] < '1' ||
      device_name[3] > '8') {
    return {};
  }
  return "ELM327_" + device_name;
}

std::string AdapterLine::RememberedDescription(session::SettingsStore& settings,
                                               const std::string& device_name) {
  const std::string key = RememberKey(device_name);
  const int rate = key.empty() ? 0 : settings.ReadInteger(session::kSettingsSection, key, 0);
  return rate > 0 ? "ELM327, " + std::to_string(rate) + " bit/s" : std::string();
}

void AdapterLine::OpenPort() {
  answered_ = false;
  looked_again_ = false;
  start_requests_ = 0;
  answers_.Reset();
  elm_.reset();
  const std::string key = RememberKey(DeviceName());
  const int remembered = key.empty() ? 0 : settings_.ReadInteger(session::kSettingsSection, key, 0);
  if (choice_ != AdapterChoice::Cable && remembered > 0) {
    TakeChip(remembered, std::nullopt);
  } else {
    cable_.OpenPort();
    if (choice_ == AdapterChoice::Elm327) {
      const int cable_rate = comm_.UserBaudrate();
      const auto found = elm327::ProbeForChip(comm_, clock_, elm327::kChipRates);
      if (found.found != elm327::ProbeResult::Found::Chip) {
        cable_.ClosePort();
        throw serial::ESerCommError("No ELM327 adapter answered on " + DeviceName() +
                                    " at 38400, 9600 or 115200 bit/s.");
      }
      TakeChip(found.baud_rate, cable_rate);
    }
  }
  NoteDescription();
}

void AdapterLine::ClosePort() {
  if (elm_) {
    elm_->ClosePort();
  } else {
    cable_.ClosePort();
  }
}

void AdapterLine::SetDtrState(bool on) {
  if (!elm_) cable_.SetDtrState(on);
}

void AdapterLine::SetBreakState(bool on) {
  if (!elm_) cable_.SetBreakState(on);
}

bool AdapterLine::IsStartCommunication(const std::uint8_t* data, int count) const {
  return count == static_cast<int>(kStartCommunication.size()) &&
         std::equal(kStartCommunication.begin(), kStartCommunication.end(), data);
}

void AdapterLine::BeforeWakeUp() {
  // The session wakes the line again when its start has had no answer: the moment to look for
  // the other kind of adapter, once per opening, before the pattern goes out.
  if (!PortOpen() || start_requests_ == 0 || answered_ || looked_again_ ||
      choice_ != AdapterChoice::Auto) {
    return;
  }
  looked_again_ = true;
  if (!elm_) {
    const int cable_rate = comm_.UserBaudrate();
    const auto found = elm327::ProbeForChip(comm_, clock_, elm327::kChipRates);
    if (found.found == elm327::ProbeResult::Found::Chip) TakeChip(found.baud_rate, cable_rate);
  } else if (elm_->version().empty()) {
    BackToCable();
  }
}

int AdapterLine::SendBytes(const std::uint8_t* data, int count) {
  answers_.ResetToIdle();
  if (PortOpen() && IsStartCommunication(data, count)) ++start_requests_;
  return elm_ ? elm_->SendBytes(data, count) : cable_.SendBytes(data, count);
}

int AdapterLine::ReadBytes(std::uint8_t* data, int count) {
  if (elm_) {
    const int read = elm_->ReadBytes(data, count);
    if (read > 0) answered_ = true;
    return read;
  }
  const int read = cable_.ReadBytes(data, count);
  if (read > 0 && !answered_) {
    answers_.Feed(data, static_cast<std::size_t>(read), [this](const session::ResponseData&) {
      answered_ = true;
      return true;
    });
  }
  return read;
}

void AdapterLine::Received(int count) {
  if (elm_) {
    try {
      elm_->TextReceived(count);
    } catch (...) {
      NoteDescription();
      throw;
    }
    NoteDescription();
  } else if (on_bytes) {
    on_bytes(count);
  }
}

void AdapterLine::TakeChip(int rate, std::optional<int> open_at_cable_rate) {
  elm_.emplace(comm_, clock_, elm327::Elm327Options{.baud_rate = rate});
  elm_->on_frames = [this](int count) {
    if (on_bytes) on_bytes(count);
  };
  if (open_at_cable_rate) {
    // A probe found the chip on the open port: the rate goes back to the cable's when it closes.
    elm_->TakeOpenPort(*open_at_cable_rate);
    Remember(rate);
  } else {
    elm_->OpenPort();
  }
  NoteDescription();
}

void AdapterLine::BackToCable() {
  // Remembered from an earlier start, but no chip there now.
  Remember(0);
  elm_->ClosePort();
  elm_.reset();
  cable_.OpenPort();
  // The start raised DTR for the cable's wake-up while the chip had the port; the session's
  // wake-up follows now.
  cable_.SetDtrState(true);
  NoteDescription();
}

void AdapterLine::Remember(int rate) {
  const std::string key = RememberKey(DeviceName());
  if (!key.empty()) settings_.WriteInteger(session::kSettingsSection, key, rate);
}

std::string AdapterLine::Description() const {
  if (!elm_) return {};
  const std::string name = elm_->version().empty() ? "ELM327" : elm_->version();
  return name + ", " + std::to_string(elm_->baud_rate()) + " bit/s";
}

void AdapterLine::NoteDescription() {
  std::string now = Description();
  if (now == description_) return;
  description_ = std::move(now);
  if (on_description_change) on_description_change();
}

void ConnectTesterPort(serial::TSerComm& port, AdapterLine& line,
                       session::DiagnosticSession& session, HandlerRunner run_receive) {
  ConfigureTesterPort(port);
  port.SetOnRxChar(
      [&line, run_receive = std::move(run_receive)](serial::TSerCustomComm*, int count) {
        run_receive([&line, count] { line.Received(count); });
      });
  line.on_bytes = [&session](int count) { session.SerComm1RxChar(count); };
}

}  // namespace m797::tester_port
