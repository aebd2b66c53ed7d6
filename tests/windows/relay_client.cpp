#include "relay_client.h"

#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>

#include "relay_protocol.h"

namespace m797::relay {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("line relay: " + what + " (Winsock error " +
                           std::to_string(WSAGetLastError()) + ")");
}

}  // namespace

RelayClient& RelayClient::Instance() {
  static RelayClient client;
  return client;
}

RelayClient::RelayClient() {
  const char* port = std::getenv(kPortVariable);
  if (port == nullptr || *port == '\0') {
    throw std::runtime_error(
        std::string("line relay: ") + kPortVariable +
        " is not set; scripts/test-windows starts the relay that holds the far end of COM1");
  }
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) Fail("WSAStartup failed");
  socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket_ == INVALID_SOCKET) Fail("no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Fail(std::string("cannot connect to port ") + port);
  }
  // Requests are small and each waits for its answer: send them at once.
  BOOL no_delay = TRUE;
  setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay),
             sizeof no_delay);
}

RelayClient::~RelayClient() {
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  WSACleanup();
}

void RelayClient::Send(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const int n = send(socket_, text.data() + done, static_cast<int>(text.size() - done), 0);
    if (n <= 0) Fail("send failed");
    done += static_cast<std::size_t>(n);
  }
}

void RelayClient::ReadMore() {
  char buffer[4096];
  const int n = recv(socket_, buffer, sizeof buffer, 0);
  if (n <= 0) Fail("connection lost");
  received_.append(buffer, static_cast<std::size_t>(n));
}

std::string RelayClient::Receive(std::size_t count) {
  while (received_.size() < count) {
    ReadMore();
  }
  std::string out = received_.substr(0, count);
  received_.erase(0, count);
  return out;
}

std::string RelayClient::ReceiveLine() {
  std::size_t end;
  while ((end = received_.find('\n')) == std::string::npos) {
    ReadMore();
  }
  std::string line = received_.substr(0, end);
  received_.erase(0, end + 1);
  return line;
}

std::string RelayClient::Call(const std::string& request) {
  std::lock_guard lock(mutex_);
  Send(request + "\n");
  const std::string head = ReceiveLine();
  const std::size_t blank = head.find(' ');
  if (blank == std::string::npos) throw std::runtime_error("line relay: bad answer " + head);
  const std::string payload = Receive(std::stoul(head.substr(blank + 1)));
  if (head.compare(0, blank, "ok") != 0) {
    throw std::runtime_error("line relay: " + request + ": " + payload);
  }
  return payload;
}

}  // namespace m797::relay
