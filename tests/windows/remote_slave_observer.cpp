// The passive slave opening of the serial tests, for Windows: the line relay makes it on the
// Linux side.
#include "relay_client.h"
#include "slave_observer.h"

namespace m797::serial::testing {

SlaveObserver::SlaveObserver(const std::string& path) : fd_(-1) {
  fd_ = std::stoi(relay::RelayClient::Instance().Call("observe " + path));
}

SlaveObserver::~SlaveObserver() {
  try {
    relay::RelayClient::Instance().Call("unobserve " + std::to_string(fd_));
  } catch (...) {
    // The relay closes it anyway when the program ends.
  }
}

int SlaveObserver::Waiting() const {
  return std::stoi(relay::RelayClient::Instance().Call("waiting " + std::to_string(fd_)));
}

}  // namespace m797::serial::testing
