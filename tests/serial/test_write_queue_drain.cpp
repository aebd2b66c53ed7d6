// The write thread drains its queue without waiting for the main thread; the empty-queue report
// reaches the main thread only for someone who takes it, and never outlives the opening.
#include <thread>

#include "port_fixture.h"

namespace m797::serial::testing {
namespace {

constexpr int kSends = 100;
constexpr int kSendSize = 64;  // 6,400 bytes in all, three times what the queue holds

// Sends the burst from the main thread without ever pumping it, while another thread plays a
// device that takes every byte at once.  Returns the bytes that arrived.
Bytes SendBurstUnpumped(TSerComm& comm, PtyMaster& master) {
  Bytes arrived;
  std::thread device([&] { arrived = master.Read(kSends * kSendSize, 10s); });
  Bytes sent;
  for (int i = 0; i < kSends; ++i) {
    const Bytes chunk(kSendSize, static_cast<std::uint8_t>(i));
    try {
      EXPECT_EQ(comm.SendBytes(chunk.data(), kSendSize), kSendSize);
    } catch (const ESerCommError& e) {
      ADD_FAILURE() << "send " << i << " after " << sent.size() << " bytes: " << e.what();
      break;
    }
    sent.insert(sent.end(), chunk.begin(), chunk.end());
  }
  device.join();
  EXPECT_EQ(arrived.size(), sent.size());
  EXPECT_TRUE(arrived == sent);
  return arrived;
}

TEST_F(PortTest, ABurstOfSendsGoesOutWhileTheMainThreadIsBusy) {
  comm.Buffers()->SetWriteTimeout(1000);
  comm.OpenPort();
  SendBurstUnpumped(comm, master);
  // Nobody takes the empty-queue report, so nothing was handed to the main thread.
  EXPECT_FALSE(dispatcher.WaitForPending(1, 100ms));
}

TEST_F(PortTest, EmptyQueueReportsForAHandlerDoNotHoldTheQueueAndComeAsOne) {
  int empties = 0;
  comm.SetOnTxEmpty([&](TSerCustomComm*) { ++empties; });
  comm.Buffers()->SetWriteTimeout(1000);
  comm.OpenPort();
  SendBurstUnpumped(comm, master);
  // However often the queue ran dry meanwhile, one report waits for the main thread.
  ASSERT_TRUE(dispatcher.WaitForPending(1, 10s));
  EXPECT_EQ(dispatcher.PendingCount(), 1);
  dispatcher.RunPending();
  EXPECT_EQ(empties, 1);
  // The next drain is reported again.
  const Bytes frame = B({1, 2, 3});
  comm.SendBytes(frame.data(), 3);
  EXPECT_EQ(PumpAndRead(3), frame);
  EXPECT_TRUE(PumpUntil([&] { return empties == 2; }));
  EXPECT_TRUE(reported.empty());
}

TEST_F(PortTest, AnEmptyQueueReportLeftAtCloseNeverRuns) {
  int empties = 0;
  comm.SetOnTxEmpty([&](TSerCustomComm*) { ++empties; });
  comm.OpenPort();
  const Bytes frame = B({1, 2, 3});
  comm.SendBytes(frame.data(), 3);
  EXPECT_EQ(master.Read(3, 10s), frame);
  ASSERT_TRUE(dispatcher.WaitForPending(1, 10s));
  comm.ClosePort();
  comm.OpenPort();  // not even for the next opening
  dispatcher.RunPending();
  EXPECT_EQ(empties, 0);
}

TEST_F(PortTest, AnExceptionFromOnTxEmptyIsReportedAndWritingGoesOn) {
  int empties = 0;
  comm.SetOnTxEmpty([&](TSerCustomComm*) {
    if (++empties == 1) throw ESerCommError("handler failed");
  });
  comm.OpenPort();
  for (int round = 1; round <= 2; ++round) {
    const Bytes frame = B({round, round, round});
    comm.SendBytes(frame.data(), 3);
    EXPECT_EQ(PumpAndRead(3), frame);
    EXPECT_TRUE(PumpUntil([&] { return empties == round; }));
  }
  EXPECT_EQ(reported, std::vector<std::string>{"handler failed"});
}

}  // namespace
}  // namespace m797::serial::testing
