// A device that fails for good while the port is open.
#include <time.h>

#include "platform_errors.h"
#include "port_fixture.h"
#include "serial/ser_const.h"

namespace m797::serial::testing {
namespace {

std::chrono::nanoseconds ProcessCpuTime() {
  struct timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// What the component shows when the terminal hangs up.
const std::string kLostMessage = CommMessage(msg::kDeviceLost, kHungUpError);

TEST_F(PortTest, AHungUpTerminalIsReportedOnceAndNothingSpins) {
  comm.OpenPort();
  master.Close();
  ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));
  EXPECT_EQ(reported, std::vector<std::string>{kLostMessage});

  const auto cpu_before = ProcessCpuTime();
  dispatcher.RunFor(1s);
  EXPECT_LT(ProcessCpuTime() - cpu_before, 200ms);
  EXPECT_EQ(reported.size(), 1u);

  // The dead device takes nothing, and the failure is not shown again for every send.
  const Bytes frame = B({0x81, 0x11, 0xF1, 0x81, 0x04});
  EXPECT_EQ(comm.SendBytes(frame.data(), 5), 0);
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_TRUE(comm.PortOpen());
  comm.ClosePort();
  EXPECT_FALSE(comm.PortOpen());
}

TEST_F(PortTest, TheWriteThreadReportsADeadDeviceOnceToo) {
  comm.SetMonitorEvents({});  // no event thread: only the write thread can notice
  comm.OpenPort();
  master.Close();
  const Bytes frame = B({1, 2, 3});
  EXPECT_EQ(comm.SendBytes(frame.data(), 3), 3);
  ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));
  EXPECT_EQ(reported, std::vector<std::string>{kLostMessage});
  EXPECT_EQ(comm.SendBytes(frame.data(), 3), 0);
  dispatcher.RunFor(200ms);
  EXPECT_EQ(reported.size(), 1u);
}

TEST_F(PortTest, TheNextOpeningStartsAfresh) {
  PtyMaster* another = ReopenAfterALoss();
  ASSERT_NE(another, nullptr);
  const Bytes frame = B({0x81, 0x11, 0xF1, 0x81, 0x04});
  EXPECT_EQ(comm.SendBytes(frame.data(), 5), 5);
  EXPECT_EQ(PumpAndRead(*another, 5), frame);
  EXPECT_EQ(reported.size(), 1u);
}

}  // namespace
}  // namespace m797::serial::testing
