// The pseudo-terminal master of the serial tests, for Windows: the line relay holds the real one
// on the Linux side and does each operation on it.
#include <sstream>

#include "pty_master.h"
#include "relay_client.h"
#include "relay_protocol.h"

namespace m797::serial::testing {

namespace {

std::string Call(const std::string& request) {
  return relay::RelayClient::Instance().Call(request);
}

}  // namespace

PtyMaster::PtyMaster() {
  std::istringstream answer(Call("pty"));
  answer >> fd_ >> slave_path_;
}

PtyMaster::~PtyMaster() {
  try {
    Call("free " + std::to_string(fd_));
  } catch (...) {
    // The relay frees it anyway when the program ends.
  }
}

void PtyMaster::Close() {
  Call("close " + std::to_string(fd_));
}

void PtyMaster::Write(const Bytes& bytes) {
  Call("write " + std::to_string(fd_) + " " + relay::ToHex(bytes));
}

Bytes PtyMaster::Read(std::size_t count, std::chrono::milliseconds timeout) {
  return relay::FromHex(Call("read " + std::to_string(fd_) + " " + std::to_string(count) + " " +
                             std::to_string(timeout.count())));
}

bool PtyMaster::Readable(std::chrono::milliseconds wait) {
  return Call("readable " + std::to_string(fd_) + " " + std::to_string(wait.count())) == "1";
}

PtyMaster::LineSettings PtyMaster::ReadLineSettings() const {
  std::istringstream answer(Call("settings " + std::to_string(fd_)));
  LineSettings s;
  answer >> s.input_speed >> s.output_speed >> s.data_bits >> s.parity >> s.two_stop_bits >>
      s.raw >> s.flow_control;
  return s;
}

}  // namespace m797::serial::testing
