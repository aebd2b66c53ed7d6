#pragma once

#include <winsock2.h>

#include <mutex>
#include <string>

namespace m797::relay {

// The Windows test's connection to the line relay on the Linux side, whose TCP port the variable
// M797_LINE_RELAY names.  One connection per test program, made at the first call; everything the
// program has made through it is freed by the relay when the program ends.
class RelayClient {
 public:
  static RelayClient& Instance();

  // Sends one request line and returns the payload of an "ok" answer; an "error" answer, or a
  // broken connection, raises std::runtime_error with its text.
  std::string Call(const std::string& request);

 private:
  RelayClient();
  ~RelayClient();
  void Send(const std::string& text);
  void ReadMore();
  std::string ReceiveLine();
  std::string Receive(std::size_t count);

  std::mutex mutex_;  // one request and its answer at a time
  SOCKET socket_ = INVALID_SOCKET;
  std::string received_;  // bytes read ahead of the current answer
};

}  // namespace m797::relay
