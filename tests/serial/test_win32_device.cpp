// The win32 backend as a Windows program sees its COM port; under Wine that port is a
// pseudo-terminal held by the line relay.
#include <gtest/gtest.h>

#include <string>

#include "pty_master.h"
#include "serial/loop_dispatcher.h"
#include "serial/ser_comm.h"
#include "serial/win32/win32_device.h"
#include "tester_setup.h"
#include "wine_skip.h"

namespace m797::serial::testing {
namespace {

// The device opened by itself, with the line that the tester's component would put on it.
class Win32DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int error = 0;
    device = TSerWin32Device::Open(master.SlavePath(), error);
    ASSERT_TRUE(device) << "cannot open " << master.SlavePath() << ": error " << error;
    TSerComm comm(dispatcher);
    ConfigureLikeTester(comm, master.SlavePath());
    ASSERT_EQ(device->ApplyLineSettings(comm.BuildLineSettings()), 0);
  }

  TSerLineSettings ReadBack() {
    TSerLineSettings settings;
    EXPECT_EQ(device->ReadLineSettings(settings), 0);
    return settings;
  }

  PtyMaster master;
  LoopDispatcher dispatcher;
  std::unique_ptr<TSerWin32Device> device;
};

TEST_F(Win32DeviceTest, GetCommStateReads8N1WithoutFlowControlBack) {
  const TSerLineSettings s = ReadBack();
  EXPECT_EQ(s.byte_size, 8);
  EXPECT_EQ(s.parity, 0);
  EXPECT_EQ(s.stop_bits, 0);
  EXPECT_EQ(s.flags & (kDcbOutxCtsFlow | kDcbOutxDsrFlow | kDcbOutX | kDcbInX), 0u);
}

TEST_F(Win32DeviceTest, GetCommStateReadsDtrAndRtsUnderProgramControlBack) {
  SKIP_UNDER_WINE(
      "Wine reads the DTR and RTS control modes back from the modem lines, which a "
      "pseudo-terminal lacks");
  const TSerLineSettings s = ReadBack();
  EXPECT_EQ((s.flags >> kDcbDtrControlShift) & 3, 0u) << "DTR under automatic control";
  EXPECT_EQ((s.flags >> kDcbRtsControlShift) & 3, 0u) << "RTS under automatic control";
}

TEST_F(Win32DeviceTest, GetCommStateReadsTheRate10400Back) {
  SKIP_UNDER_WINE(
      "Wine puts a rate without a termios constant on a pseudo-terminal as 38400 "
      "with a custom divisor the terminal ignores, and reads 38400 back");
  EXPECT_EQ(ReadBack().baud_rate, 10400u);
}

TEST_F(Win32DeviceTest, AStandardRateReadsBackAndReachesTheTerminal) {
  TSerLineSettings s = ReadBack();
  s.baud_rate = 9600;
  ASSERT_EQ(device->ApplyLineSettings(s), 0);
  EXPECT_EQ(ReadBack().baud_rate, 9600u);
  EXPECT_EQ(master.ReadLineSettings().output_speed, 9600u);
}

TEST_F(Win32DeviceTest, DtrRisesAndFallsOnRequest) {
  SKIP_UNDER_WINE(
      "a pseudo-terminal has no modem lines: Wine's EscapeCommFunction(SETDTR) "
      "fails on it, and the line's state cannot be read");
  bool dtr = false;
  bool rts = true;
  ASSERT_EQ(device->Escape(TSerEscape::SetDtr), 0);
  ASSERT_EQ(device->ReadOutputLines(dtr, rts), 0);
  EXPECT_TRUE(dtr);
  EXPECT_FALSE(rts);
  ASSERT_EQ(device->Escape(TSerEscape::ClrDtr), 0);
  ASSERT_EQ(device->ReadOutputLines(dtr, rts), 0);
  EXPECT_FALSE(dtr);
}

TEST_F(Win32DeviceTest, BreakIsSetAndClearedBeforeTheCallReturns) {
  EXPECT_EQ(device->Escape(TSerEscape::SetBreak), 0);
  EXPECT_EQ(device->Escape(TSerEscape::ClrBreak), 0);
}

TEST(Win32ErrorTest, ARemovedDevicesErrorsCountAsLostOthersDoNot) {
  // Removal, as serial drivers report it: among them the aborted and timed-out operations of
  // some USB and Bluetooth drivers, and what Wine gives on a hung-up pseudo-terminal.
  for (DWORD error :
       {ERROR_ACCESS_DENIED, ERROR_GEN_FAILURE, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_REMOVED,
        ERROR_OPERATION_ABORTED, ERROR_SEM_TIMEOUT, ERROR_BROKEN_PIPE, ERROR_NOT_READY}) {
    EXPECT_TRUE(IsDeviceLostError(static_cast<int>(error))) << error;
  }
  for (DWORD error : {ERROR_IO_PENDING, ERROR_IO_INCOMPLETE, ERROR_INVALID_PARAMETER,
                      ERROR_NOT_SUPPORTED, ERROR_SUCCESS}) {
    EXPECT_FALSE(IsDeviceLostError(static_cast<int>(error))) << error;
  }
}

TEST(Win32ErrorTest, SystemTextsComeFromTheMessageTableWithoutTheirEnd) {
  const std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(std::string(".\r\n ").find(text.back()), std::string::npos) << text;
  try {
    RaiseCommError(" Error setting EventMask (%d), %s", ERROR_ACCESS_DENIED);
    FAIL();
  } catch (const ESerCommError& e) {
    EXPECT_EQ(e.what(), " Error setting EventMask (5), " + SystemErrorText(ERROR_ACCESS_DENIED));
  }
}

}  // namespace
}  // namespace m797::serial::testing
