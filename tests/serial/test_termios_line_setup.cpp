// The terminal settings the component writes, read back in full from the kernel.  Uses the
// kernel's termios2 record, which cannot share a translation unit with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

struct termios2 SlaveTermios(const PtyMaster& master) {
  struct termios2 tio = {};
  if (ioctl(master.fd(), TCGETS2, &tio) != 0) ADD_FAILURE() << "TCGETS2 failed";
  return tio;
}

// What a terminal program leaves behind: canonical mode with echo and signals, carriage-return
// handling, ignored parity errors, a hang-up on close and the usual control characters.
void LeaveCookedSettings(const PtyMaster& master) {
  struct termios2 tio = SlaveTermios(master);
  tio.c_iflag |= IGNPAR | ICRNL | IXANY | IMAXBEL | IUTF8;
  tio.c_oflag |= OPOST | ONLCR;
  tio.c_cflag |= HUPCL;
  tio.c_lflag |= ICANON | ECHO | ECHOE | ECHOK | ECHOCTL | ECHOKE | ISIG | IEXTEN | NOFLSH;
  tio.c_cc[VINTR] = 3;
  tio.c_cc[VEOF] = 4;
  tio.c_cc[VERASE] = 0x7F;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 10;
  ASSERT_EQ(ioctl(master.fd(), TCSETS2, &tio), 0);
}

TEST_F(PortTest, TheLineIsBuiltFromZeroWhateverTheDeviceHeldBefore) {
  LeaveCookedSettings(master);
  comm.OpenPort();
  const struct termios2 tio = SlaveTermios(master);
  EXPECT_EQ(tio.c_iflag, 0u);
  EXPECT_EQ(tio.c_oflag, 0u);
  EXPECT_EQ(tio.c_lflag, 0u);
  EXPECT_EQ(tio.c_cflag,
            static_cast<tcflag_t>(BOTHER | (BOTHER << IBSHIFT) | CS8 | CREAD | CLOCAL));
  EXPECT_EQ(tio.c_ispeed, 10400u);
  EXPECT_EQ(tio.c_ospeed, 10400u);
  for (int i = 0; i < NCCS; ++i) {
    cc_t expected = 0;
    if (i == VMIN) expected = 1;
    if (i == VSTART) expected = 0x11;
    if (i == VSTOP) expected = 0x13;
    EXPECT_EQ(tio.c_cc[i], expected) << "control character " << i;
  }
}

TEST_F(PortTest, TheLineRecordsOtherSettingsReachTheTerminal) {
  comm.SetBaudrate(TSerBaudrate::br19200);
  comm.SetStopbits(TSerStopbits::sb2);
  comm.SetOptions(TSerCommOptions{TSerCommOption::coParityCheck});
  comm.FlowControl()->SetXonXoffOut(true);
  comm.FlowControl()->SetXonXoffIn(true);
  comm.EventChars()->SetXonChar(0x01);
  comm.EventChars()->SetXoffChar(0x02);
  comm.OpenPort();
  const struct termios2 tio = SlaveTermios(master);
  EXPECT_EQ(tio.c_iflag, static_cast<tcflag_t>(IXON | IXOFF | INPCK));
  EXPECT_EQ(tio.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
  EXPECT_EQ(tio.c_ospeed, 19200u);
  EXPECT_EQ(tio.c_cc[VSTART], 0x01);
  EXPECT_EQ(tio.c_cc[VSTOP], 0x02);
}

// Termios has one switch for hardware flow control in both directions.
TEST_F(PortTest, HardwareFlowControlInOneDirectionOnlyIsRefused) {
  const char* const kRefused = "Error writing dcb (22), Invalid argument";
  auto expect_refused = [&](auto&& operation) {
    try {
      operation();
      ADD_FAILURE() << "accepted";
    } catch (const ESerCommError& e) {
      EXPECT_STREQ(e.what(), kRefused);
    }
  };
  TSerFlowControl* flow = comm.FlowControl();
  flow->SetOutCtsFlow(true);  // CTS watched on sending, RTS not driven for receiving
  expect_refused([&] { comm.OpenPort(); });
  EXPECT_FALSE(comm.PortOpen());
  flow->SetOutCtsFlow(false);
  flow->SetControlRts(TSerControlRts::rtsHandshake);  // the other way round
  expect_refused([&] { comm.OpenPort(); });
  EXPECT_FALSE(comm.PortOpen());

  flow->SetOutCtsFlow(true);  // both ways: that termios can do
  comm.OpenPort();
  EXPECT_EQ(SlaveTermios(master).c_cflag & CRTSCTS, static_cast<tcflag_t>(CRTSCTS));
  // Taking one side away on the open port is refused too, and the line keeps both.
  expect_refused([&] { flow->SetOutCtsFlow(false); });
  EXPECT_TRUE(comm.PortOpen());
  EXPECT_EQ(SlaveTermios(master).c_cflag & CRTSCTS, static_cast<tcflag_t>(CRTSCTS));
  flow->SetControlRts(TSerControlRts::rtsDisabled);
  EXPECT_EQ(SlaveTermios(master).c_cflag & CRTSCTS, 0u);
}

}  // namespace
}  // namespace m797::serial::testing
