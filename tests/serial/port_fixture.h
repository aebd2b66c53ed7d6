#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "pty_master.h"
#include "serial/loop_dispatcher.h"
#include "serial/ser_comm.h"
#include "tester_setup.h"

namespace m797::serial::testing {

using namespace std::chrono_literals;

// A component configured like the tester's, on the slave side of a fresh pseudo-terminal.  The
// test thread is the main thread; it pumps the dispatcher while it waits for something.
class PortTest : public ::testing::Test {
 protected:
  PortTest() {
    ConfigureLikeTester(comm, master.SlavePath());
    comm.SetExceptionHandler([this](const std::string& m) { reported.push_back(m); });
    comm.SetPauseFunction([this](std::chrono::milliseconds d) { pauses.push_back(d); });
  }

  // Pumps the main thread until done() holds; generous, as sanitizers slow everything.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
    return dispatcher.RunUntil(done, timeout);
  }

  // Pumps the main thread while collecting count bytes at the master (or at from).
  Bytes PumpAndRead(std::size_t count, std::chrono::milliseconds timeout = 10s) {
    return PumpAndRead(master, count, timeout);
  }
  Bytes PumpAndRead(PtyMaster& from, std::size_t count, std::chrono::milliseconds timeout = 10s) {
    Bytes got;
    PumpUntil(
        [&] {
          const Bytes more = from.Read(count - got.size(), 0ms);
          got.insert(got.end(), more.begin(), more.end());
          return got.size() >= count;
        },
        timeout);
    return got;
  }

  // Opens the port, hangs the terminal up and waits for the component to report the loss; then
  // closes the port and opens it again on a fresh pseudo-terminal, as after a new adapter is
  // plugged in.  Returns the new terminal's master, or nullptr when the loss went unreported.
  PtyMaster* ReopenAfterALoss() {
    comm.OpenPort();
    master.Close();
    if (!PumpUntil([&] { return !reported.empty(); })) return nullptr;
    comm.ClosePort();
    another_master = std::make_unique<PtyMaster>();
    comm.SetDeviceName(another_master->SlavePath());
    comm.OpenPort();
    return another_master.get();
  }

  // Declared before the component, which reports into them until it is gone.
  std::vector<std::string> reported;
  std::vector<std::chrono::milliseconds> pauses;
  LoopDispatcher dispatcher;
  PtyMaster master;
  std::unique_ptr<PtyMaster> another_master;
  TSerComm comm{dispatcher};
};

inline Bytes B(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values)
    out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

}  // namespace m797::serial::testing
