// line_relay: the Linux side of the Windows tests under Wine.
//
// A Windows program cannot make a pseudo-terminal, so this one holds them for it: on request over
// a loopback TCP connection it makes pseudo-terminal masters and plays the far end of the line on
// them, links the newest slave where Wine's COM port points, opens passive slave observers, and
// runs the simulator there.  It also decodes the simulator's answers as the tester does, for a test
// that reads the tester's gauges from the screen.  Each connected test program gets its own set of
// objects, freed when it disconnects; programs are served one after the other.
//
//   line_relay --config DIR --com COM1 --port-file FILE
//
// The COM name is linked at DIR/TARKON/ports/<COM> (where the simulator, run with
// XDG_CONFIG_HOME=DIR, links itself too); FILE receives the TCP port once the relay listens.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "line_checks.h"
#include "pty_master.h"
#include "relay_protocol.h"
#include "relayed_simulator.h"
#include "slave_observer.h"

namespace m797::relay {
namespace {

namespace fs = std::filesystem;
using serial::testing::PtyMaster;
using serial::testing::SlaveObserver;

struct Config {
  fs::path config_dir;
  std::string com_name;
  fs::path link;  // config_dir/TARKON/ports/<com_name>
};

// What one connected test program has made.
class Session {
 public:
  explicit Session(const Config& config) : config_(config) {}
  ~Session() {
    simulator_.Stop();
    RemoveLog();
  }

  std::string Handle(std::istringstream& words) {
    std::string verb;
    words >> verb;
    if (verb == "pty") return NewPty();
    if (verb == "observe") return Observe(Word(words));
    if (verb == "unobserve") {
      observers_.erase(Number(words));
      return "";
    }
    if (verb == "waiting") return std::to_string(ObserverAt(Number(words)).Waiting());
    if (verb == "sim") return StartSimulator(words);
    if (verb == "sim-frames") return simulator_.Frames();
    if (verb == "sim-status") return simulator_.Status();
    if (verb == "sim-stop") return simulator_.Stop();
    if (verb == "sim-gauges") return GaugeHistories(words);
    if (verb == "free") {
      masters_.erase(Number(words));
      return "";
    }
    PtyMaster& master = MasterAt(Number(words));
    if (verb == "write") {
      std::string hex;
      words >> hex;
      master.Write(FromHex(hex));
      return "";
    }
    if (verb == "read") {
      const int count = Number(words);
      return ToHex(master.Read(count, std::chrono::milliseconds(Number(words))));
    }
    if (verb == "readable") {
      return master.Readable(std::chrono::milliseconds(Number(words))) ? "1" : "0";
    }
    if (verb == "close") {
      master.Close();
      return "";
    }
    if (verb == "settings") {
      const PtyMaster::LineSettings s = master.ReadLineSettings();
      std::ostringstream out;
      out << s.input_speed << ' ' << s.output_speed << ' ' << s.data_bits << ' ' << s.parity << ' '
          << s.two_stop_bits << ' ' << s.raw << ' ' << s.flow_control;
      return out.str();
    }
    throw std::invalid_argument("unknown request " + verb);
  }

 private:
  static std::string Word(std::istringstream& words) {
    std::string word;
    if (!(words >> word)) throw std::invalid_argument("a word is missing");
    return word;
  }
  static int Number(std::istringstream& words) { return std::stoi(Word(words)); }

  PtyMaster& MasterAt(int id) {
    auto found = masters_.find(id);
    if (found == masters_.end()) throw std::invalid_argument("no master " + std::to_string(id));
    return *found->second;
  }
  SlaveObserver& ObserverAt(int id) {
    auto found = observers_.find(id);
    if (found == observers_.end()) throw std::invalid_argument("no observer " + std::to_string(id));
    return *found->second;
  }

  // Points the COM name at target, replacing the link at once.
  void Link(const std::string& target) {
    const fs::path temporary = config_.link.string() + ".new";
    fs::remove(temporary);
    fs::create_symlink(target, temporary);
    fs::rename(temporary, config_.link);
  }

  std::string NewPty() {
    auto master = std::make_unique<PtyMaster>();
    newest_slave_ = master->SlavePath();
    Link(newest_slave_);
    const int id = next_id_++;
    masters_[id] = std::move(master);
    return std::to_string(id) + " " + config_.com_name;
  }

  std::string Observe(const std::string& name) {
    if (name != config_.com_name || newest_slave_.empty()) {
      throw std::invalid_argument("nothing to observe at " + name);
    }
    auto observer = std::make_unique<SlaveObserver>(newest_slave_);
    if (!observer->ok()) throw std::runtime_error("cannot open " + newest_slave_);
    const int id = next_id_++;
    observers_[id] = std::move(observer);
    return std::to_string(id);
  }

  std::string StartSimulator(std::istringstream& words) {
    simulator_.Stop();
    RemoveLog();
    std::vector<std::string> args;
    for (std::string word; words >> word;)
      args.push_back(word);
    simulator_type_ = 1;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
      if (args[i] == "--type") simulator_type_ = std::stoi(args[i + 1]);
    }
    simulator_.Start(config_.config_dir / ("ecusim-" + std::to_string(next_id_++) + ".log"), args);
    return "";
  }

  // A line per gauge: its name and the values that the simulator's live-data answers so far put on
  // it, in order, decoded as the tester decodes them for the simulator's controller type (or the
  // type 1..3 given); a write that does not change the value is left out.  "VS_DV 2.5 2.56".
  std::string GaugeHistories(std::istringstream& words) {
    static constexpr const char* kNames[session::kGaugeCount] = {
        "VS_Speed", "VI_Speed", "VS_Nmot", "VI_Nmot", "VS_TOG", "VS_TANS",
        "VS_Ub",    "VI_Ub",    "VS_THR",  "VS_MRV",  "VS_DV"};
    std::string word;
    const int type = words >> word ? std::stoi(word) : simulator_type_;
    if (type < 1 || type > 3) throw std::invalid_argument("no controller type " + word);
    std::ostringstream lines[session::kGaugeCount];
    for (int g = 0; g < session::kGaugeCount; ++g)
      lines[g] << kNames[g];
    for (const auto& [gauge, value] :
         e2e::ExpectedGaugeWrites(simulator_.Process().Frames(), type - 1)) {
      lines[static_cast<int>(gauge)] << ' ' << std::setprecision(7) << value;
    }
    std::string text;
    for (const std::ostringstream& line : lines)
      text += line.str() + "\n";
    return text;
  }

  void RemoveLog() {
    std::error_code ignored;
    if (!simulator_.LogPath().empty()) fs::remove(simulator_.LogPath(), ignored);
  }

  const Config& config_;
  std::map<int, std::unique_ptr<PtyMaster>> masters_;
  std::map<int, std::unique_ptr<SlaveObserver>> observers_;
  e2e::RelayedSimulator simulator_;
  int simulator_type_ = 1;  // the --type of the simulator started last
  std::string newest_slave_;
  int next_id_ = 1;
};

bool SendAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Serves one test program until it disconnects.
void Serve(int fd, const Config& config) {
  Session session(config);
  std::string received;
  char buffer[4096];
  for (;;) {
    std::size_t end;
    while ((end = received.find('\n')) == std::string::npos) {
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      received.append(buffer, static_cast<std::size_t>(n));
    }
    std::istringstream words(received.substr(0, end));
    received.erase(0, end + 1);
    std::string answer;
    try {
      answer = Answer(true, session.Handle(words));
    } catch (const std::exception& e) {
      answer = Answer(false, e.what());
    }
    if (!SendAll(fd, answer)) return;
  }
}

int Listen(const std::string& port_file) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 4) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on the loopback interface");
  }
  // Written whole and then renamed, so a reader never sees half a number.
  const std::string temporary = port_file + ".new";
  std::ofstream(temporary) << ntohs(address.sin_port) << "\n";
  fs::rename(temporary, port_file);
  return fd;
}

int Run(int argc, char** argv) {
  Config config;
  std::string port_file;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--config") config.config_dir = argv[i + 1];
    if (option == "--com") config.com_name = argv[i + 1];
    if (option == "--port-file") port_file = argv[i + 1];
  }
  if (config.config_dir.empty() || config.com_name.empty() || port_file.empty()) {
    std::fprintf(stderr, "usage: line_relay --config DIR --com COM1 --port-file FILE\n");
    return 2;
  }
  config.link = config.config_dir / "TARKON" / "ports" / config.com_name;
  fs::create_directories(config.link.parent_path());
  // The simulator links itself in the same folder.
  setenv("XDG_CONFIG_HOME", config.config_dir.c_str(), 1);

  const int listener = Listen(port_file);
  for (;;) {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("accept failed");
    }
    int no_delay = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &no_delay, sizeof no_delay);
    Serve(fd, config);
    ::close(fd);
  }
}

}  // namespace
}  // namespace m797::relay

int main(int argc, char** argv) {
  try {
    return m797::relay::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "line_relay: %s\n", e.what());
    return 1;
  }
}
