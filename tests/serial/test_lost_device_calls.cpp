// Calls of the main thread on a device that failed for good: whichever call notices the loss
// first shows it, once; every later call does nothing and raises nothing until the port is
// opened again.
#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

const char* const kLostMessage =
    "Communication device failed (5), Input/output error. Close the port and open it again.";

// What the session's watchdog does every two seconds: the wake-up pattern and a request.
// Returns what SendBytes took.
int WakeUpAndSend(TSerComm& comm) {
  comm.SetDtrState(true);
  comm.SetBreakState(true);
  comm.SetBreakState(false);
  const Bytes frame = B({0x81, 0x11, 0xF1, 0x81, 0x04});
  return comm.SendBytes(frame.data(), 5);
}

TEST_F(PortTest, LineControlAndSettingsOnALostDeviceRaiseNothing) {
  comm.OpenPort();
  master.Close();
  ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));  // the event thread noticed
  for (int tick = 0; tick < 3; ++tick) {
    int sent = -1;
    EXPECT_NO_THROW(sent = WakeUpAndSend(comm)) << "tick " << tick;
    EXPECT_EQ(sent, 0);
    EXPECT_NO_THROW(comm.SetDtrState(false));
    EXPECT_NO_THROW(comm.SetBaudrate(TSerBaudrate::br9600));
    EXPECT_NO_THROW(comm.FlowControl()->SetControlRts(TSerControlRts::rtsEnabled));
    dispatcher.RunPending();
  }
  EXPECT_EQ(reported, std::vector<std::string>{kLostMessage});
  EXPECT_TRUE(comm.PortOpen());
}

TEST_F(PortTest, LineControlThatNoticesTheLossFirstShowsItOnce) {
  comm.SetMonitorEvents({});  // no event thread ...
  comm.SetDirectWrite(true);  // ... and no write thread: only the main thread's calls notice
  comm.OpenPort();
  master.Close();
  try {
    comm.SetBreakState(true);
    FAIL() << "the loss went unnoticed";
  } catch (const ESerCommError& e) {
    EXPECT_STREQ(e.what(), kLostMessage);
  }
  EXPECT_NO_THROW(comm.SetBreakState(false));
  EXPECT_NO_THROW(comm.SetDtrState(true));
  EXPECT_NO_THROW(comm.SetParity(TSerParity::paEven));
  std::uint8_t buffer[4];
  EXPECT_EQ(comm.ReadBytes(buffer, 4), 0);
}

TEST_F(PortTest, ADirectWriteThatNoticesTheLossFirstShowsItOnceAndLaterSendsReturnZero) {
  comm.SetDirectWrite(true);
  comm.OpenPort();  // the event thread watches the same device
  master.Close();
  const Bytes frame = B({0x81, 0x11, 0xF1, 0x81, 0x04});
  try {
    comm.SendBytes(frame.data(), 5);
    FAIL() << "the loss went unnoticed";
  } catch (const ESerCommError& e) {
    EXPECT_STREQ(e.what(), kLostMessage);
  }
  // The event thread's own report of the same loss shows nothing more.
  dispatcher.RunFor(200ms);
  EXPECT_TRUE(reported.empty()) << reported.front();
  EXPECT_EQ(comm.SendBytes(frame.data(), 5), 0);
}

TEST_F(PortTest, TheNextOpeningControlsTheLineAgain) {
  comm.SetDirectWrite(true);
  // A fresh opening of a working device controls the line and writes again; on a device that
  // then fails, line control shows the loss anew.
  PtyMaster* another = ReopenAfterALoss();
  ASSERT_NE(another, nullptr);
  EXPECT_EQ(WakeUpAndSend(comm), 5);
  EXPECT_EQ(another->Read(5, 10s), B({0x81, 0x11, 0xF1, 0x81, 0x04}));
  another->Close();
  EXPECT_THROW(comm.SetBreakState(true), ESerCommError);
}

}  // namespace
}  // namespace m797::serial::testing
