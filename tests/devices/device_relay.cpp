// device_relay: the host side of the device tests in the virtual machine.
//
// Holds the host end of each of the machine's serial lines (the pseudo-terminals that QEMU makes
// for the 16550 UART and the FTDI adapter) open for the whole run, so that QEMU sees them
// connected, and works them on request of the test programs in the machine, which reach it over
// virtio serial ports with the line relay's protocol, one port per device: it reads and writes the
// far end of a line, runs the simulator there, and pulls the USB adapter out and puts it back
// through QEMU's monitor.  When the simulator hangs up on the adapter's line, the adapter is
// pulled, and it is put back when the simulator serves the line again.  Each greeting of a new test
// program is noted with the time in the marks file, so that QEMU's trace can be cut by program.
//
//   device_relay --port SOCKET... --monitor SOCKET --marks FILE --work DIR
//                --line GUEST_DEVICE=HOST_TERMINAL ...
//                --usb GUEST_DEVICE=DEVICE_ADD_ARGUMENTS
//
// The USB device is known to QEMU as "usbline-N", N counting from 0 (the one the machine boots
// with) at each new plug, recording its traffic to DIR/usbline-N.pcap.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "relay_protocol.h"
#include "relayed_simulator.h"

namespace m797::devices {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

int ConnectUnix(const std::string& path) {
  for (int attempt = 0; attempt < 600; ++attempt) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  throw std::runtime_error("cannot connect to " + path);
}

bool SendAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// QEMU's human monitor, one command at a time.
class Monitor {
 public:
  explicit Monitor(const std::string& path) : fd_(ConnectUnix(path)) { ReadToPrompt(); }
  ~Monitor() { ::close(fd_); }

  std::string Command(const std::string& command) {
    if (!SendAll(fd_, command + "\n")) throw std::runtime_error("the monitor is gone");
    std::string out = ReadToPrompt();
    if (out.find("Error") != std::string::npos) throw std::runtime_error(command + ": " + out);
    return out;
  }

 private:
  std::string ReadToPrompt() {
    std::string text;
    char buffer[1024];
    while (text.find("(qemu) ") == std::string::npos) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) throw std::runtime_error("the monitor is gone");
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }
  int fd_;
};

// The host end of one of the machine's lines.
struct Line {
  std::string guest_device;
  std::string host_terminal;
  int fd = -1;
  std::string usb_arguments;  // empty: the device cannot be pulled
  int usb_number = 0;
  bool plugged = true;

  void Open() {
    fd = ::open(host_terminal.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + host_terminal);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL;
    tcsetattr(fd, TCSANOW, &tio);
  }

  bool Readable(int wait_ms) const {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, wait_ms) > 0 && (p.revents & POLLIN);
  }

  void Write(const Bytes& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EAGAIN) {
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 100);
      } else if (!(n < 0 && errno == EINTR)) {
        throw std::runtime_error("cannot write to " + host_terminal);
      }
    }
  }

  Bytes Read(std::size_t count, int timeout_ms) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    Bytes out;
    while (out.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      if (!Readable(static_cast<int>(std::max<long long>(left, 0)))) break;
      std::uint8_t buffer[4096];
      const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - out.size()));
      if (n <= 0) break;
      out.insert(out.end(), buffer, buffer + n);
    }
    return out;
  }

  void Drain() const { tcflush(fd, TCIFLUSH); }
};

struct Config {
  std::vector<std::string> port_sockets;
  std::string monitor_socket;
  std::string marks;
  fs::path work;
  std::vector<Line> lines;
};

// What every port's session shares: the lines, QEMU's monitor and the marks, under one guard.
class Machine {
 public:
  explicit Machine(Config& config) : config_(config), monitor_(config.monitor_socket) {
    for (Line& line : config_.lines)
      line.Open();
  }

  const Config& config() const { return config_; }

  Line& LineNamed(const std::string& guest_device) {
    for (Line& line : config_.lines) {
      if (line.guest_device == guest_device) return line;
    }
    throw std::invalid_argument("no line for " + guest_device);
  }

  void Unplug(Line& line) {
    std::lock_guard lock(mutex_);
    if (line.usb_arguments.empty()) {
      throw std::invalid_argument(line.guest_device + " is on the board and cannot be pulled");
    }
    if (!line.plugged) return;
    monitor_.Command("device_del usbline-" + std::to_string(line.usb_number));
    line.plugged = false;
  }

  void Plug(Line& line) {
    std::lock_guard lock(mutex_);
    if (line.plugged) return;
    ++line.usb_number;
    const std::string id = "usbline-" + std::to_string(line.usb_number);
    // A device of the same name may still be on its way out.
    for (int attempt = 0;; ++attempt) {
      try {
        monitor_.Command("device_add " + line.usb_arguments + ",id=" + id +
                         ",pcap=" + (config_.work / (id + ".pcap")).string());
        break;
      } catch (const std::runtime_error&) {
        if (attempt == 50) throw;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    }
    line.plugged = true;
  }

  void Mark(const std::string& label) {
    std::lock_guard lock(mutex_);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::ofstream marks(config_.marks, std::ios::app);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%lld.%06ld", static_cast<long long>(now.tv_sec),
                  now.tv_nsec / 1000);
    marks << stamp << label << "\n";
  }

  // A name for a simulator's log that no other session uses.
  fs::path NewLog() {
    std::lock_guard lock(mutex_);
    return config_.work / ("ecusim-" + std::to_string(++logs_) + ".log");
  }

 private:
  Config& config_;
  std::mutex mutex_;
  Monitor monitor_;
  int logs_ = 0;
};

// The requests of the test programs that use one port, one program after the other.
class Session {
 public:
  explicit Session(Machine& machine) : machine_(machine) {}

  std::string Handle(std::istringstream& words) {
    std::string verb;
    words >> verb;
    if (verb == "hello") return Hello(Rest(words));
    if (verb == "line") return NewFarEnd(machine_.LineNamed(Word(words)));
    if (verb == "plug") {
      machine_.Plug(machine_.LineNamed(Word(words)));
      return "";
    }
    if (verb == "sim") return StartSimulator(words);
    if (verb == "sim-frames") return simulator_.Frames();
    if (verb == "sim-status") return simulator_.Status();
    if (verb == "sim-stop") return StopSimulator();
    const int id = Number(words);
    if (verb == "free") {
      far_ends_.erase(id);
      return "";
    }
    Line& line = FarEndAt(id);
    if (verb == "write") {
      line.Write(relay::FromHex(Word(words)));
      return "";
    }
    if (verb == "read") {
      const int count = Number(words);
      return relay::ToHex(line.Read(static_cast<std::size_t>(count), Number(words)));
    }
    if (verb == "readable") return line.Readable(Number(words)) ? "1" : "0";
    if (verb == "close") {
      machine_.Unplug(line);
      return "";
    }
    throw std::invalid_argument("unknown request " + verb);
  }

  // Between requests: a simulator that hangs up on the adapter's line pulls the adapter, and
  // puts it back when it serves the line again.
  void Watch() {
    if (!simulator_.Running() || simulator_line_->usb_arguments.empty()) return;
    int hangups = 0;
    int servings = 0;
    for (const std::string& line : simulator_.Process().StatusLines()) {
      if (line.find("hanging up") != std::string::npos) ++hangups;
      if (line.find(" serving ") != std::string::npos) ++servings;
    }
    if (hangups > hangups_seen_) {
      hangups_seen_ = hangups;
      machine_.Unplug(*simulator_line_);
    }
    if (servings > servings_seen_) {
      servings_seen_ = servings;
      machine_.Plug(*simulator_line_);
    }
  }

 private:
  static std::string Word(std::istringstream& words) {
    std::string word;
    if (!(words >> word)) throw std::invalid_argument("a word is missing");
    return word;
  }
  static int Number(std::istringstream& words) { return std::stoi(Word(words)); }
  static std::string Rest(std::istringstream& words) {
    std::string rest;
    std::getline(words, rest);
    return rest;
  }

  Line& FarEndAt(int id) {
    const auto found = far_ends_.find(id);
    if (found == far_ends_.end()) throw std::invalid_argument("no far end " + std::to_string(id));
    return *found->second;
  }

  // A new test program: nothing of the last one stays, and the time is noted.
  std::string Hello(const std::string& label) {
    StopSimulator();
    far_ends_.clear();
    machine_.Mark(label);
    return "";
  }

  std::string NewFarEnd(Line& line) {
    line.Drain();
    const int id = next_id_++;
    far_ends_[id] = &line;
    return std::to_string(id);
  }

  std::string StartSimulator(std::istringstream& words) {
    StopSimulator();
    Line& line = machine_.LineNamed(Word(words));
    std::vector<std::string> args{"--device", line.host_terminal};
    for (std::string word; words >> word;)
      args.push_back(word);
    simulator_.Start(machine_.NewLog(), args);
    simulator_line_ = &line;
    hangups_seen_ = 0;
    servings_seen_ = 1;
    return "";
  }

  std::string StopSimulator() {
    simulator_line_ = nullptr;
    return simulator_.Stop();
  }

  Machine& machine_;
  std::map<int, Line*> far_ends_;
  e2e::RelayedSimulator simulator_;
  Line* simulator_line_ = nullptr;
  int hangups_seen_ = 0;
  int servings_seen_ = 0;
  int next_id_ = 1;
};

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
  g_stop = 1;
}

// Serves one port until the machine goes away or a signal asks the relay to end.
void Serve(int fd, Session& relay) {
  std::string received;
  char buffer[4096];
  while (!g_stop) {
    std::size_t end;
    while ((end = received.find('\n')) == std::string::npos) {
      if (g_stop) return;
      pollfd p{fd, POLLIN, 0};
      const int ready = ::poll(&p, 1, 20);
      if (ready < 0) continue;  // a signal: looked at above
      if (ready == 0) {
        relay.Watch();
        continue;
      }
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // the machine is gone
      received.append(buffer, static_cast<std::size_t>(n));
    }
    std::istringstream words(received.substr(0, end));
    received.erase(0, end + 1);
    std::string answer;
    try {
      answer = relay::Answer(true, relay.Handle(words));
    } catch (const std::exception& e) {
      answer = relay::Answer(false, e.what());
    }
    if (!SendAll(fd, answer)) return;
    relay.Watch();
  }
}

std::pair<std::string, std::string> Pair(const std::string& text) {
  const auto equals = text.find('=');
  if (equals == std::string::npos) throw std::invalid_argument("expected A=B: " + text);
  return {text.substr(0, equals), text.substr(equals + 1)};
}

int Run(int argc, char** argv) {
  Config config;
  std::vector<std::pair<std::string, std::string>> usb;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--port") config.port_sockets.push_back(value);
    if (option == "--monitor") config.monitor_socket = value;
    if (option == "--marks") config.marks = value;
    if (option == "--work") config.work = value;
    if (option == "--line") {
      Line line;
      std::tie(line.guest_device, line.host_terminal) = Pair(value);
      config.lines.push_back(line);
    }
    if (option == "--usb") usb.push_back(Pair(value));
  }
  if (config.port_sockets.empty() || config.monitor_socket.empty() || config.marks.empty() ||
      config.work.empty() || config.lines.empty()) {
    std::fprintf(stderr,
                 "usage: device_relay --port SOCKET... --monitor SOCKET --marks FILE --work DIR "
                 "--line GUEST=HOST... [--usb GUEST=DEVICE_ADD_ARGUMENTS]\n");
    return 2;
  }
  for (const auto& [device, arguments] : usb) {
    for (Line& line : config.lines) {
      if (line.guest_device == device) line.usb_arguments = arguments;
    }
  }
  // Ended by a signal, the relay still stops the simulator it runs.
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  Machine machine(config);
  std::vector<int> fds;
  for (const std::string& socket : config.port_sockets)
    fds.push_back(ConnectUnix(socket));
  std::vector<std::thread> servers;
  for (int fd : fds) {
    servers.emplace_back([fd, &machine] {
      Session session(machine);
      try {
        Serve(fd, session);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "device_relay: %s\n", e.what());
      }
      ::close(fd);
    });
  }
  for (std::thread& server : servers)
    server.join();
  return 0;
}

}  // namespace
}  // namespace m797::devices

int main(int argc, char** argv) {
  try {
    return m797::devices::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "device_relay: %s\n", e.what());
    return 1;
  }
}
