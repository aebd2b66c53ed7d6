// Measures, over 1,000 frames through a pseudo-terminal, how long the component takes
//   - from the master writing a frame (one write call) to OnRxChar on the main thread, and
//   - from SendBytes to the bytes being readable at the master,
// and prints minimum, median and 99th percentile in microseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "pty_master.h"
#include "serial/loop_dispatcher.h"
#include "serial/ser_comm.h"

namespace {

using namespace m797::serial;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kFrames = 1000;

void Print(const char* what, std::vector<double> micros) {
  std::sort(micros.begin(), micros.end());
  const double median = micros[micros.size() / 2];
  const double p99 = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
  std::printf("%-34s min %8.1f us   median %8.1f us   p99 %8.1f us   (%zu frames)\n", what,
              micros.front(), median, p99, micros.size());
}

double Micros(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

}  // namespace

int main() {
  LoopDispatcher dispatcher;
  testing::PtyMaster master;
  TSerComm comm(dispatcher);
  comm.SetDeviceName(master.SlavePath());
  comm.SetBaudrate(TSerBaudrate::brUser);
  comm.SetUserBaudrate(10400);
  comm.Buffers()->SetReadTimeout(5000);
  comm.Buffers()->SetWriteTimeout(0);

  const testing::Bytes frame = {0x83, 0xF1, 0x11, 0x61, 0x03, 0x10, 0x1A};
  int received = 0;
  Clock::time_point notified;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) {
    if (received == 0) notified = Clock::now();
    std::uint8_t buffer[64];
    received += comm.ReadBytes(buffer, std::min<int>(count, sizeof buffer));
  });
  comm.OpenPort();

  std::vector<double> receive;
  for (int i = 0; i < kFrames; ++i) {
    received = 0;
    // Timed from the start of the write: the kernel may run the woken event thread before
    // write() returns, so a stamp taken after it could miss part of the path.
    const Clock::time_point written = Clock::now();
    master.Write(frame);
    if (!dispatcher.RunUntil([&] { return received >= static_cast<int>(frame.size()); }, 5s)) {
      std::fprintf(stderr, "frame %d not received\n", i);
      return 1;
    }
    receive.push_back(Micros(notified - written));
  }

  std::vector<double> send;
  const testing::Bytes request = {0x82, 0x11, 0xF1, 0x21, 0x03, 0xA8};
  for (int i = 0; i < kFrames; ++i) {
    const Clock::time_point start = Clock::now();
    comm.SendBytes(request.data(), static_cast<int>(request.size()));
    if (!master.Readable(5s)) {
      std::fprintf(stderr, "frame %d not sent\n", i);
      return 1;
    }
    send.push_back(Micros(Clock::now() - start));
    master.Read(request.size(), 5s);
  }
  comm.SetPauseFunction([](std::chrono::milliseconds) {});
  comm.ClosePort();

  Print("master write -> OnRxChar", receive);
  Print("SendBytes -> readable at master", send);
  return 0;
}
