// Many openings in a row, each with traffic both ways, as a long test session makes them.
#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

TEST_F(PortTest, AThousandOpenTrafficCloseCycles) {
  Bytes received;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) {
    Bytes chunk(count);
    const int got = comm.ReadBytes(chunk.data(), count);
    received.insert(received.end(), chunk.begin(), chunk.begin() + got);
  });
  for (int cycle = 0; cycle < 1000; ++cycle) {
    comm.OpenPort();
    const Bytes request = B({0x82, 0x11, 0xF1, 0x21, cycle & 0xFF, 0xA9});
    ASSERT_EQ(comm.SendBytes(request.data(), 6), 6);
    ASSERT_EQ(PumpAndRead(6), request) << "cycle " << cycle;
    received.clear();
    master.Write(request);
    ASSERT_TRUE(PumpUntil([&] { return received.size() >= 6; })) << "cycle " << cycle;
    ASSERT_EQ(received, request);
    comm.ClosePort();
  }
  EXPECT_EQ(pauses.size(), 1000u);
  EXPECT_TRUE(reported.empty());
}

}  // namespace
}  // namespace m797::serial::testing
