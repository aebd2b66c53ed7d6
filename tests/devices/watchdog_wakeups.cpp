// The session against a controller that never answers: the watchdog wakes the line again every
// two seconds.  The device run reads the timing of each wake-up from QEMU's trace.
#include <gtest/gtest.h>

#include "e2e_rig.h"

namespace m797::e2e {
namespace {

TEST(DeviceWakeUp, TheWatchdogWakesASilentLineTenTimes) {
  E2eRig rig({"--silent"});
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.WaitForRequests(11, 60s));  // the start's and ten of the watchdog
  rig.Stop();
  for (const std::string& request : rig.Requests())
    EXPECT_EQ(request, "81");
  EXPECT_TRUE(rig.loop.errors().empty()) << rig.loop.errors().front();
}

}  // namespace
}  // namespace m797::e2e
