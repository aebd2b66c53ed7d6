// The simulator of the end-to-end tests, for Windows: the line relay runs it on the Linux side,
// on a pseudo-terminal where Wine's COM1 points, and keeps its frame log.
#include <sstream>

#include "ecusim_process.h"
#include "relay_client.h"

namespace m797::e2e {

namespace {

std::string Call(const std::string& request) {
  return relay::RelayClient::Instance().Call(request);
}

}  // namespace

EcusimProcess::EcusimProcess(const std::string&, std::vector<std::string> args) {
  std::string request = "sim";
  for (const std::string& a : args)
    request += " " + a;
  Call(request);
  running_ = true;
}

EcusimProcess::~EcusimProcess() {
  try {
    Stop();
  } catch (...) {
    // The relay stops it anyway when the program ends.
  }
}

const std::vector<LoggedFrame>& EcusimProcess::Frames() {
  std::istringstream in(Call("sim-frames"));
  frames_ = ParseFrameLog(in);
  return frames_;
}

std::vector<std::string> EcusimProcess::StatusLines() {
  std::istringstream in(Call("sim-status"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

int EcusimProcess::Stop() {
  if (!running_) return 0;
  running_ = false;
  return std::stoi(Call("sim-stop"));
}

}  // namespace m797::e2e
