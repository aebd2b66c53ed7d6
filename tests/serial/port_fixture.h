#pragma once

#include <gtest/gtest.h>

#include <chrono>
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

  // Pumps the main thread while collecting count bytes at the master.
  Bytes PumpAndRead(std::size_t count, std::chrono::milliseconds timeout = 10s) {
    Bytes got;
    PumpUntil(
        [&] {
          const Bytes more = master.Read(count - got.size(), 0ms);
          got.insert(got.end(), more.begin(), more.end());
          return got.size() >= count;
        },
        timeout);
    return got;
  }

  // Declared before the component, which reports into them until it is gone.
  std::vector<std::string> reported;
  std::vector<std::chrono::milliseconds> pauses;
  LoopDispatcher dispatcher;
  PtyMaster master;
  TSerComm comm{dispatcher};
};

inline Bytes B(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values)
    out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

}  // namespace m797::serial::testing
