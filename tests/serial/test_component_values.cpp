// The parts of the component that need no device: messages, property rules, the line record,
// the write queue and the deadline.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "serial/loop_dispatcher.h"
#ifndef _WIN32
#include "serial/posix/device_path.h"
#endif
#include "serial/ser_comm.h"
#include "serial/ser_comm_buffer.h"
#include "serial/ser_deadline.h"
#include "tester_setup.h"

namespace m797::serial {
namespace {

TEST(MessageTest, PlaceholdersAreFilledInOrderAndNothingElseIsTouched) {
  EXPECT_EQ(FillTemplate("Write error (%d), %s", {"5", "Input/output error"}),
            "Write error (5), Input/output error");
  EXPECT_EQ(FillTemplate("Output buffer is full. Please check comm status.", {"1", "x"}),
            "Output buffer is full. Please check comm status.");
  // A name with a placeholder of its own is inserted once and never read as a template.
  EXPECT_EQ(FillTemplate("Specified device not found (%s).", {"COM%d%s"}),
            "Specified device not found (COM%d%s).");
  EXPECT_EQ(FillTemplate("100%% %x %d", {"7"}), "100%% %x 7");
}

#ifndef _WIN32
TEST(MessageTest, SystemTextsLoseTrailingBlanksFullStopsAndControlCharacters) {
  EXPECT_EQ(TrimSystemText("The device is not ready.\r\n"), "The device is not ready");
  EXPECT_EQ(TrimSystemText(" . \t"), "");
  EXPECT_EQ(SystemErrorText(EBUSY), "Device or resource busy");
  try {
    RaiseCommError(" Error setting EventMask (%d), %s", EIO);
    FAIL();
  } catch (const ESerCommError& e) {
    EXPECT_STREQ(e.what(), " Error setting EventMask (5), Input/output error");
  }
}
#endif

TEST(PropertyGroupTest, NotifiesOnlyRealChangesAndAnAssignmentOnce) {
  TSerBuffers buffers;
  int changes = 0;
  buffers.SetOnChange([&] { ++changes; });
  buffers.SetReadSize(4096);     // unchanged
  buffers.SetReadTimeout(5000);  // plain value
  buffers.SetWriteTimeout(-3);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(buffers.WriteTimeout(), 0);
  buffers.SetXonLimit(10);
  EXPECT_EQ(changes, 1);

  TSerBuffers other;
  other.SetReadSize(1);
  other.SetWriteSize(2);
  other.SetXoffLimit(3);
  buffers.Assign(other);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(buffers.WriteSize(), 2);
  EXPECT_EQ(buffers.ReadTimeout(), 1000);

  buffers.BeginUpdate();
  buffers.BeginUpdate();
  buffers.SetReadSize(77);
  buffers.EndUpdate();
  EXPECT_EQ(changes, 2);
  buffers.EndUpdate();
  EXPECT_EQ(changes, 3);
}

TEST(PropertyGroupTest, EventCharsNotifyEvenWhenUnchanged) {
  TSerEventChars chars;
  int changes = 0;
  chars.SetOnChange([&] { ++changes; });
  chars.SetXonChar(0x11);
  EXPECT_EQ(changes, 1);
  TSerFlowControl flow;
  flow.SetOnChange([&] { ++changes; });
  flow.SetControlDtr(TSerControlDtr::dtrDisabled);
  EXPECT_EQ(changes, 1);
  flow.SetControlDtr(TSerControlDtr::dtrEnabled);
  EXPECT_EQ(changes, 2);
}

class ComponentValuesTest : public ::testing::Test {
 protected:
  LoopDispatcher dispatcher;
  TSerComm comm{dispatcher};
};

TEST_F(ComponentValuesTest, DefaultsAreThoseTheComponentDeclares) {
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_EQ(comm.Baudrate(), TSerBaudrate::br1200);
  EXPECT_EQ(comm.DeviceName(), "COM%d");
  EXPECT_EQ(comm.DevicePath(), "COM0");
  EXPECT_EQ(comm.MonitorEvents(), (TSerCommEvents{TSerCommEvent::ceError, TSerCommEvent::ceRxChar,
                                                  TSerCommEvent::ceTxEmpty}));
  EXPECT_EQ(comm.Buffers()->ReadSize(), 4096);
  EXPECT_EQ(comm.Buffers()->WriteSize(), 2048);
  EXPECT_EQ(comm.WritePriority(), TThreadPriority::tpHighest);
  EXPECT_TRUE(comm.UpdateDCB());
  comm.SetPortNum(3);
  EXPECT_EQ(comm.DevicePath(), "COM3");
  comm.SetDeviceName("COM2");
  EXPECT_EQ(comm.DevicePath(), "COM2");
}

TEST_F(ComponentValuesTest, TheTestersLineRecordIs10400Baud8N1WithoutFlowControl) {
  testing::ConfigureLikeTester(comm, "COM2");
  TSerLineSettings expected;
  expected.baud_rate = 10400;
  expected.flags = 0x1;
  expected.xon_limit = 1024;
  expected.xoff_limit = 1024;
  expected.byte_size = 8;
  expected.xon_char = 0x11;
  expected.xoff_char = 0x13;
  EXPECT_EQ(comm.BuildLineSettings(), expected);
  EXPECT_EQ(comm.Baudrate(), TSerBaudrate::brUser);
}

TEST_F(ComponentValuesTest, LineRecordCarriesFlowControlOptionsAndFormat) {
  TSerFlowControl flow;
  flow.SetOutCtsFlow(true);
  flow.SetControlDtr(TSerControlDtr::dtrHandshake);
  flow.SetControlRts(TSerControlRts::rtsToggle);
  flow.SetXonXoffIn(true);
  comm.SetFlowControl(flow);
  comm.SetOptions({TSerCommOption::coParityCheck, TSerCommOption::coNullStrip});
  comm.SetParity(TSerParity::paMark);
  comm.SetDatabits(TSerDatabits::db7);
  comm.SetStopbits(TSerStopbits::sb2);
  comm.Buffers()->SetXonLimit(0x12345);
  const TSerLineSettings s = comm.BuildLineSettings();
  EXPECT_EQ(s.baud_rate, 1200u);
  EXPECT_EQ(s.flags, 0x1u | 0x4 | 0x20 | 0x3000 | 0x200 | 0x2 | 0x800);
  EXPECT_EQ(s.flags & kDcbAbortOnError, 0u);
  EXPECT_EQ(s.xon_limit, 0x2345);
  EXPECT_EQ(s.byte_size, 7);
  EXPECT_EQ(s.parity, 3);
  EXPECT_EQ(s.stop_bits, 2);
}

TEST_F(ComponentValuesTest, BaudrateAndUserBaudrateFollowEachOther) {
  comm.SetUserBaudrate(10400);
  EXPECT_EQ(comm.Baudrate(), TSerBaudrate::brUser);
  comm.SetBaudrate(TSerBaudrate::br9600);
  EXPECT_EQ(comm.UserBaudrate(), 0);
  EXPECT_EQ(comm.BuildLineSettings().baud_rate, 9600u);
  comm.SetUserBaudrate(0);  // unchanged: Baudrate stays
  EXPECT_EQ(comm.Baudrate(), TSerBaudrate::br9600);
}

TEST(WriteQueueTest, AppendsBehindAndRemovesFromTheFront) {
  TSerCommBuffer buffer(4);
  const std::uint8_t bytes[] = {1, 2, 3, 4, 5};
  EXPECT_TRUE(buffer.Append(bytes, 3));
  EXPECT_FALSE(buffer.Append(bytes, 2));  // would overflow: nothing copied
  EXPECT_EQ(buffer.Size(), 3);
  EXPECT_TRUE(buffer.Append(bytes + 4, 1));
  buffer.Remove(2);
  ASSERT_EQ(buffer.Size(), 2);
  EXPECT_EQ(buffer.Data()[0], 3);
  EXPECT_EQ(buffer.Data()[1], 5);
  buffer.Remove(99);
  EXPECT_EQ(buffer.Size(), 0);
  EXPECT_FALSE(buffer.Append(bytes, -1));
}

TEST(DeadlineTest, ExpiresAfterItsLengthAlsoAcrossTheCounterWrap) {
  TSerDeadline deadline;
  deadline.Set(10, 100);
  EXPECT_FALSE(deadline.Expired(110));
  EXPECT_TRUE(deadline.Expired(111));
  EXPECT_EQ(deadline.Remaining(105), 6u);
  deadline.Set(10, 0xFFFFFFFAu);
  EXPECT_FALSE(deadline.Expired(4));  // 10 ms after the start, counter wrapped
  EXPECT_TRUE(deadline.Expired(5));
  deadline.Set(0, 50);
  EXPECT_FALSE(deadline.Expired(50));
  EXPECT_TRUE(deadline.Expired(51));
}

#ifndef _WIN32
TEST(DevicePathTest, ComNamesResolveThroughThePortsFolderOrToUsbAdapters) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("m797-ports-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "TARKON/ports");
  std::filesystem::create_symlink("/dev/null", dir / "TARKON/ports/COM3");
  ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir.c_str(), 1), 0);
  EXPECT_EQ(ResolveDevicePath("COM3"), (dir / "TARKON/ports/COM3").string());
  EXPECT_EQ(ResolveDevicePath("COM1"), "/dev/ttyUSB0");
  EXPECT_EQ(ResolveDevicePath("COM8"), "/dev/ttyUSB7");
  EXPECT_EQ(ResolveDevicePath("/dev/ttyS0"), "/dev/ttyS0");
  EXPECT_EQ(ResolveDevicePath("COM0"), "");
  EXPECT_EQ(ResolveDevicePath("../../etc/passwd"), "");
  EXPECT_EQ(ResolveDevicePath(""), "");
  unsetenv("XDG_CONFIG_HOME");
  std::filesystem::remove_all(dir);
}
#endif

}  // namespace
}  // namespace m797::serial
