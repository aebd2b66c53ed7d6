// What only a real serial driver shows: the modem lines, which a pseudo-terminal lacks.
#include <sys/ioctl.h>

#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

int ModemLines(int fd) {
  int lines = 0;
  EXPECT_EQ(ioctl(fd, TIOCMGET, &lines), 0);
  return lines;
}

TEST_F(PortTest, DtrIsHeldOffAtOpenAndFollowsTheProgramBreakIsTakenWithoutError) {
  comm.OpenPort();
  EXPECT_EQ(ModemLines(master.fd()) & (TIOCM_DTR | TIOCM_RTS), 0);
  comm.SetDtrState(true);
  EXPECT_EQ(ModemLines(master.fd()) & (TIOCM_DTR | TIOCM_RTS), TIOCM_DTR);
  EXPECT_NO_THROW(comm.SetBreakState(true));
  EXPECT_NO_THROW(comm.SetBreakState(false));
  // A rewrite of the line settings leaves DTR where the program put it.
  comm.SetBaudrate(TSerBaudrate::br9600);
  EXPECT_EQ(ModemLines(master.fd()) & TIOCM_DTR, TIOCM_DTR);
  comm.SetDtrState(false);
  EXPECT_EQ(ModemLines(master.fd()) & TIOCM_DTR, 0);
  EXPECT_TRUE(reported.empty());
}

}  // namespace
}  // namespace m797::serial::testing
