#include "relay_port.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace m797::devices {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

RelayPort& RelayPort::Instance() {
  static RelayPort port;
  return port;
}

RelayPort::RelayPort() {
  const std::string path = Variable("M797_DEVICE_RELAY");
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("cannot open the relay port '" + path + "'");
  const std::string label = Variable("M797_DEVICE_LABEL");
  Exchange("hello " + (label.empty() ? std::string("-") : label));
}

RelayPort::~RelayPort() {
  if (fd_ >= 0) ::close(fd_);
}

std::string RelayPort::Call(const std::string& request) {
  std::lock_guard lock(mutex_);
  return Exchange(request);
}

std::string RelayPort::Exchange(const std::string& request) {
  const std::string line = request + "\n";
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the relay port is broken");
    done += static_cast<std::size_t>(n);
  }
  const std::string status = ReceiveLine();
  const auto blank = status.find(' ');
  if (blank == std::string::npos) throw std::runtime_error("bad answer from the relay: " + status);
  const std::string payload = Receive(std::stoul(status.substr(blank + 1)));
  if (status.compare(0, blank, "ok") != 0) throw std::runtime_error("relay: " + payload);
  return payload;
}

void RelayPort::ReadMore() {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n > 0) {
      received_.append(buffer, static_cast<std::size_t>(n));
      return;
    }
    if (n < 0 && errno == EINTR) continue;
    throw std::runtime_error("the relay port is broken");
  }
}

std::string RelayPort::ReceiveLine() {
  std::size_t end;
  while ((end = received_.find('\n')) == std::string::npos)
    ReadMore();
  std::string line = received_.substr(0, end);
  received_.erase(0, end + 1);
  return line;
}

std::string RelayPort::Receive(std::size_t count) {
  while (received_.size() < count)
    ReadMore();
  std::string text = received_.substr(0, count);
  received_.erase(0, count);
  return text;
}

std::string NamedDevice() {
  return Variable("M797_DEVICE");
}

std::string DeviceUnderTest(int timeout_ms) {
  namespace fs = std::filesystem;
  const std::string named = NamedDevice();
  const bool usb = named.rfind("/dev/ttyUSB", 0) == 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (!usb) {
      if (fs::exists(named)) return named;
    } else {
      std::error_code ignored;
      for (const auto& entry : fs::directory_iterator("/dev", ignored)) {
        const std::string path = entry.path().string();
        if (path.rfind("/dev/ttyUSB", 0) == 0) return path;
      }
    }
    if (std::chrono::steady_clock::now() >= deadline) return "";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace m797::devices
