// Opening, closing and configuring the port on a real pseudo-terminal.
#include "platform_errors.h"
#include "port_fixture.h"
#include "serial/ser_const.h"
#include "wine_skip.h"

namespace m797::serial::testing {
namespace {

TEST_F(PortTest, OpensClosesAndOpensAgainWithOpenAndCloseEvents) {
  int opened = 0;
  int closed = 0;
  comm.SetOnOpen([&](TSerCustomComm* sender) {
    EXPECT_EQ(sender, &comm);
    ++opened;
  });
  comm.SetOnClose([&](TSerCustomComm*) { ++closed; });
  for (int i = 0; i < 3; ++i) {
    comm.OpenPort();
    EXPECT_TRUE(comm.PortOpen());
    comm.ClosePort();
    EXPECT_FALSE(comm.PortOpen());
  }
  EXPECT_EQ(opened, 3);
  EXPECT_EQ(closed, 3);
  EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>(3, 300ms));
}

TEST_F(PortTest, ClosingAClosedPortDoesNothingAtAll) {
  int closed = 0;
  comm.SetOnClose([&](TSerCustomComm*) { ++closed; });
  comm.ClosePort();
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(pauses.empty());
}

TEST_F(PortTest, WhileOpenTheDeviceAndItsSetupCannotChange) {
  comm.OpenPort();
  const std::string name = comm.DeviceName();
  auto expect_refused = [&](auto&& operation) {
    try {
      operation();
      ADD_FAILURE() << "no exception";
    } catch (const ESerCommError& e) {
      EXPECT_STREQ(e.what(), "Can't perform this operation while port is open");
    }
  };
  expect_refused([&] { comm.OpenPort(); });
  expect_refused([&] { comm.SetDeviceName("COM1"); });
  expect_refused([&] { comm.SetPortNum(4); });
  expect_refused([&] { comm.SetDirectWrite(true); });
  expect_refused([&] { comm.SetBuffers(TSerBuffers()); });
  // A buffer size keeps its new value, but the open port goes on with the old one.
  expect_refused([&] { comm.Buffers()->SetWriteSize(16); });
  EXPECT_EQ(comm.Buffers()->WriteSize(), 16);
  EXPECT_EQ(comm.DeviceName(), name);
  EXPECT_TRUE(comm.PortOpen());

  // The port still works after all that.
  const Bytes frame = B({0x81, 0x11, 0xF1, 0x81, 0x04});
  EXPECT_EQ(comm.SendBytes(frame.data(), 5), 5);
  EXPECT_EQ(master.Read(5, 10s), frame);
}

TEST_F(PortTest, AMissingDeviceIsReportedByTheNameGivenAndLeavesThePortClosed) {
  comm.SetDeviceName("COM9");
#ifndef _WIN32
  unsetenv("XDG_CONFIG_HOME");
#endif
  try {
    comm.OpenPort();
    FAIL() << "opened COM9";
  } catch (const ESerCommError& e) {
    EXPECT_STREQ(e.what(), "Specified device not found (COM9).");
  }
  EXPECT_FALSE(comm.PortOpen());
}

TEST_F(PortTest, ADeviceHeldByAnotherOpenerIsBusy) {
  SKIP_UNDER_WINE(
      "Wine does not enforce share mode 0 on a COM device: a second CreateFileA "
      "of the same port succeeds");
  TSerComm other(dispatcher);
  ConfigureLikeTester(other, master.SlavePath());
  other.SetPauseFunction([](std::chrono::milliseconds) {});
  other.OpenPort();
  try {
    comm.OpenPort();
    FAIL() << "opened a held device";
  } catch (const ESerCommError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't open specified device " + master.SlavePath() +
                                         " (Error " + std::to_string(kBusyError) + ", " +
                                         SystemErrorText(kBusyError) + ")");
  }
  EXPECT_FALSE(comm.PortOpen());
  other.ClosePort();
  comm.OpenPort();  // free again
  EXPECT_TRUE(comm.PortOpen());
}

#ifndef _WIN32
TEST_F(PortTest, ADeviceThatIsNoTerminalCannotBeOpened) {
  comm.SetDeviceName("/dev/null");
  try {
    comm.OpenPort();
    FAIL();
  } catch (const ESerCommError& e) {
    EXPECT_STREQ(
        e.what(),
        "Can't open specified device /dev/null (Error 25, Inappropriate ioctl for device)");
  }
  EXPECT_FALSE(comm.PortOpen());
}
#endif

TEST_F(PortTest, TheLineRunsAt10400Baud) {
  SKIP_UNDER_WINE(
      "Wine sets a rate without a termios constant as 38400 with a custom divisor, "
      "which a pseudo-terminal ignores");
  comm.OpenPort();
  const PtyMaster::LineSettings s = master.ReadLineSettings();
  EXPECT_EQ(s.output_speed, 10400u);
  EXPECT_EQ(s.input_speed, 10400u);
}

TEST_F(PortTest, TheLineIs8N1RawWithoutFlowControl) {
  comm.OpenPort();
  const PtyMaster::LineSettings s = master.ReadLineSettings();
  EXPECT_EQ(s.data_bits, 8);
  EXPECT_FALSE(s.parity);
  EXPECT_FALSE(s.two_stop_bits);
  EXPECT_TRUE(s.raw);
  EXPECT_FALSE(s.flow_control);
}

TEST_F(PortTest, ChangingTheRateWhileOpenRewritesTheLineAtOnce) {
  comm.OpenPort();
  comm.SetBaudrate(TSerBaudrate::br9600);
  EXPECT_EQ(master.ReadLineSettings().output_speed, 9600u);
  EXPECT_EQ(comm.UserBaudrate(), 0);
  // (A pseudo-terminal keeps 8 bits without parity whatever it is told; stop bits it keeps.)
  comm.SetStopbits(TSerStopbits::sb2);
  EXPECT_TRUE(master.ReadLineSettings().two_stop_bits);
  // A line the device refuses is reported; the property keeps its new value.
  try {
    comm.SetDatabits(TSerDatabits::db4);
    FAIL();
  } catch (const ESerCommError& e) {
    EXPECT_EQ(e.what(), CommMessage(msg::kWriteDcb, BadSettingError()));
  }
  EXPECT_EQ(comm.Databits(), TSerDatabits::db4);
  EXPECT_EQ(master.ReadLineSettings().output_speed, 9600u);
  EXPECT_TRUE(comm.PortOpen());
}

TEST_F(PortTest, ALineSetupThatFailsDuringOpenLeavesThePortClosed) {
  SKIP_UNDER_WINE("Wine takes a DCB with BaudRate 0 and puts the terminal at B0");
  comm.SetUserBaudrate(0);  // no rate at all
  EXPECT_THROW(comm.OpenPort(), ESerCommError);
  EXPECT_FALSE(comm.PortOpen());
  comm.SetUserBaudrate(10400);
  comm.OpenPort();  // the device was released
  EXPECT_TRUE(comm.PortOpen());
}

TEST_F(PortTest, OnAClosedPortTransfersReturnZeroAndLineControlDoesNothing) {
  std::uint8_t buffer[4] = {1, 2, 3, 4};
  EXPECT_EQ(comm.SendBytes(buffer, 4), 0);
  EXPECT_EQ(comm.ReadBytes(buffer, 4), 0);
  EXPECT_EQ(comm.InQueueCount(), 0);
  EXPECT_NO_THROW(comm.SetDtrState(true));
  EXPECT_NO_THROW(comm.SetBreakState(true));
  std::uint32_t errors = 1;
  TSerComStat status{5, 5};
  comm.GetComStatus(errors, status);
  EXPECT_EQ(errors, 0u);
  EXPECT_EQ(status.in_queue, 0u);
}

TEST_F(PortTest, DtrAndBreakOnAPseudoTerminalSucceedWithoutEffect) {
  comm.OpenPort();
  EXPECT_NO_THROW(comm.SetDtrState(true));
  EXPECT_NO_THROW(comm.SetBreakState(true));
  EXPECT_NO_THROW(comm.SetBreakState(false));
  EXPECT_NO_THROW(comm.SetDtrState(false));
}

TEST_F(PortTest, DtrUnderHandshakeIsRefusedOpenOrClosed) {
  TSerFlowControl flow;
  flow.SetControlDtr(TSerControlDtr::dtrHandshake);
  comm.SetFlowControl(flow);
  for (bool open : {false, true}) {
    if (open) comm.OpenPort();
    try {
      comm.SetDtrState(true);
      FAIL();
    } catch (const ESerCommError& e) {
      EXPECT_STREQ(e.what(), "DTR line updates not allowed when flowcontrol is set to Handshake.");
    }
  }
}

TEST_F(PortTest, AnExceptionFromOnOpenIsReportedAndThePortStaysOpen) {
  comm.SetOnOpen([](TSerCustomComm*) { throw ESerCommError("handler failed"); });
  comm.OpenPort();
  EXPECT_TRUE(comm.PortOpen());
  EXPECT_EQ(reported, std::vector<std::string>{"handler failed"});
}

TEST_F(PortTest, DestroyingAnOpenComponentClosesWithoutOnClose) {
  int closed = 0;
  {
    TSerComm local(dispatcher);
    ConfigureLikeTester(local, master.SlavePath());
    local.SetPauseFunction([](std::chrono::milliseconds) {});
    local.SetOnClose([&](TSerCustomComm*) { ++closed; });
    local.OpenPort();
  }
  EXPECT_EQ(closed, 0);
  comm.OpenPort();  // released
  EXPECT_TRUE(comm.PortOpen());
}

TEST_F(PortTest, AutoOpenOpensWhenLoadingEnds) {
  comm.Loaded();
  EXPECT_FALSE(comm.PortOpen());
  comm.SetAutoOpen(true);
  comm.Loaded();
  EXPECT_TRUE(comm.PortOpen());
}

}  // namespace
}  // namespace m797::serial::testing
