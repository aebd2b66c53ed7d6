// Sending through the write thread and receiving through the event thread.
#include <thread>

#include "port_fixture.h"
#include "slave_observer.h"
#include "wine_skip.h"

namespace m797::serial::testing {
namespace {

using Clock = std::chrono::steady_clock;

TEST_F(PortTest, FramesFromSeveralSendsArriveInCallOrder) {
  comm.OpenPort();
  Bytes all;
  for (int frame = 0; frame < 20; ++frame) {
    const Bytes bytes = B({0x82, 0x11, 0xF1, 0x21, frame, 0xA9});
    EXPECT_EQ(comm.SendBytes(bytes.data(), static_cast<int>(bytes.size())), 6);
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  EXPECT_EQ(PumpAndRead(all.size()), all);
}

TEST_F(PortTest, TheWriteThreadReportsTheEmptyQueue) {
  int empties = 0;
  comm.SetOnTxEmpty([&](TSerCustomComm*) { ++empties; });
  comm.OpenPort();
  const Bytes frame = B({1, 2, 3});
  comm.SendBytes(frame.data(), 3);
  EXPECT_EQ(PumpAndRead(3), frame);
  EXPECT_TRUE(PumpUntil([&] { return empties == 1; }));
}

TEST_F(PortTest, MoreThanTheQueueHoldsIsRefusedAfterTheWriteTimeout) {
  comm.Buffers()->SetWriteTimeout(100);
  comm.OpenPort();
  const Bytes big(2049, 0x55);
  const auto start = Clock::now();
  try {
    comm.SendBytes(big.data(), static_cast<int>(big.size()));
    FAIL();
  } catch (const ESerCommError& e) {
    EXPECT_STREQ(e.what(), "Output buffer is full. Please check comm status.");
  }
  EXPECT_GE(Clock::now() - start, 100ms);
  // Nothing of it was queued; the port goes on.
  const Bytes frame = B({9, 8, 7});
  EXPECT_EQ(comm.SendBytes(frame.data(), 3), 3);
  EXPECT_EQ(PumpAndRead(3), frame);
  EXPECT_FALSE(master.Readable(50ms));
}

TEST_F(PortTest, BytesStillQueuedAtCloseAreNotSent) {
  SlaveObserver keep_open(master.SlavePath());
  ASSERT_TRUE(keep_open.ok());
  comm.OpenPort();
  const Bytes first = B({1, 2, 3});
  comm.SendBytes(first.data(), 3);
  EXPECT_EQ(master.Read(3, 10s), first);
  // With the terminal's output suspended the write thread cannot write, so the next bytes stay
  // queued.
  if (!keep_open.SuspendOutput()) {
    comm.ClosePort();
    GTEST_SKIP() << "the line relay of the Windows tests cannot suspend the terminal's output";
  }
  const Bytes second = B({4, 5, 6});
  EXPECT_EQ(comm.SendBytes(second.data(), 3), 3);
  comm.ClosePort();
  ASSERT_TRUE(keep_open.ResumeOutput());
  EXPECT_FALSE(master.Readable(200ms));
}

TEST_F(PortTest, BytesThatCameWhileThePortWasClosedAreDroppedAtTheOpening) {
  // The far end keeps the line open, as the simulator and an adapter do, and the line keeps the
  // settings of the last opening.
  SlaveObserver keep_open(master.SlavePath());
  ASSERT_TRUE(keep_open.ok());
  comm.OpenPort();
  comm.ClosePort();
  master.Write(B({0x83, 0xF1, 0x11, 0xC1}));
  ASSERT_TRUE(PumpUntil([&] { return keep_open.Waiting() == 4; }));
  std::vector<int> counts;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) { counts.push_back(count); });
  comm.OpenPort();
  master.Write(B({0x7F}));
  ASSERT_TRUE(PumpUntil([&] { return !counts.empty(); }));
  EXPECT_EQ(counts[0], 1);
}

TEST_F(PortTest, OnRxCharRunsOnTheMainThreadWithTheCountWaiting) {
  std::vector<int> counts;
  std::thread::id ran_on;
  comm.SetOnRxChar([&](TSerCustomComm* sender, int count) {
    EXPECT_EQ(sender, &comm);
    ran_on = std::this_thread::get_id();
    counts.push_back(count);
  });
  comm.OpenPort();
  master.Write(B({0x83, 0xF1, 0x11}));
  ASSERT_TRUE(PumpUntil([&] { return counts.size() == 1; }));
  EXPECT_EQ(counts[0], 3);
  EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TEST_F(PortTest, BytesLeftUnreadAreCountedAgainOnlyWhenFurtherBytesCome) {
  SKIP_UNDER_WINE(
      "Wine's WaitCommEvent reports EV_RXCHAR for as long as bytes wait, not when "
      "they arrive");
  std::vector<int> counts;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) { counts.push_back(count); });
  comm.OpenPort();
  master.Write(B({0x83, 0xF1, 0x11}));
  ASSERT_TRUE(PumpUntil([&] { return counts.size() == 1; }));

  // Bytes left unread raise no notification of their own ...
  dispatcher.RunFor(100ms);
  EXPECT_EQ(counts.size(), 1u);
  // ... and are counted again when further bytes come.
  master.Write(B({0xC1, 0xEF}));
  ASSERT_TRUE(PumpUntil([&] { return counts.size() >= 2 && counts.back() == 5; }));
  std::uint8_t buffer[16];
  EXPECT_EQ(comm.ReadBytes(buffer, 5), 5);
  EXPECT_EQ(buffer[4], 0xEF);
}

TEST_F(PortTest, TheCountIsTakenWhenTheHandlerRunsNotWhenTheThreadWoke) {
  SlaveObserver queue(master.SlavePath());
  ASSERT_TRUE(queue.ok());
  std::vector<int> counts;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) {
    counts.push_back(count);
    std::uint8_t buffer[64];
    comm.ReadBytes(buffer, count);
  });
  comm.OpenPort();
  master.Write(B({1}));
  ASSERT_TRUE(dispatcher.WaitForPending(1, 10s));
  master.Write(B({2, 3, 4, 5}));
  ASSERT_TRUE(queue.WaitUntilWaiting(5, 10s));
  dispatcher.RunPending();
  ASSERT_EQ(counts, std::vector<int>{5});
  // The later bytes woke the thread again; by now nothing is waiting, so no handler runs.
  dispatcher.RunFor(100ms);
  EXPECT_EQ(counts, std::vector<int>{5});
}

TEST_F(PortTest, AReadForMoreThanCameEndsFiveMillisecondsAfterTheLastByte) {
  int got = -1;
  Clock::duration took{};
  comm.SetOnRxChar([&](TSerCustomComm*, int) {
    std::uint8_t buffer[32];
    const auto start = Clock::now();
    got = comm.ReadBytes(buffer, sizeof buffer);
    took = Clock::now() - start;
  });
  comm.OpenPort();
  master.Write(B({0x81, 0x11, 0xF1, 0x81, 0x04}));
  ASSERT_TRUE(PumpUntil([&] { return got >= 0; }));
  EXPECT_EQ(got, 5);
  EXPECT_GE(took, 5ms);
  EXPECT_LT(took, 2s);  // nowhere near the 5 s read time-out
}

TEST_F(PortTest, AReadOnASilentLineReturnsZeroAfterTheReadTimeout) {
  comm.Buffers()->SetReadTimeout(200);
  comm.OpenPort();
  std::uint8_t buffer[8];
  auto start = Clock::now();
  EXPECT_EQ(comm.ReadBytes(buffer, 8), 0);
  EXPECT_GE(Clock::now() - start, 200ms);
  // A changed time-out acts on the next read.
  comm.Buffers()->SetReadTimeout(20);
  start = Clock::now();
  EXPECT_EQ(comm.ReadBytes(buffer, 8), 0);
  const auto took = Clock::now() - start;
  EXPECT_GE(took, 20ms);
  EXPECT_LT(took, 200ms);
}

TEST_F(PortTest, ClosingFromInsideOnRxCharEndsReceptionCleanly) {
  int calls = 0;
  comm.SetOnRxChar([&](TSerCustomComm* sender, int) {
    ++calls;
    sender->ClosePort();
  });
  comm.OpenPort();
  master.Write(B({0xC2}));
  ASSERT_TRUE(PumpUntil([&] { return !comm.PortOpen(); }));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>{300ms});
  // The port opens again and receives as before.
  std::vector<int> counts;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) { counts.push_back(count); });
  comm.OpenPort();
  master.Write(B({0x01, 0x02}));
  EXPECT_TRUE(PumpUntil([&] { return !counts.empty(); }));
  EXPECT_TRUE(reported.empty());
}

TEST_F(PortTest, AnExceptionFromOnRxCharIsReportedAndReceptionGoesOn) {
  int calls = 0;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) {
    std::uint8_t buffer[16];
    comm.ReadBytes(buffer, count);
    if (++calls == 1) throw ESerCommError("bad frame");
  });
  comm.OpenPort();
  master.Write(B({1, 2}));
  ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));
  master.Write(B({3}));
  ASSERT_TRUE(PumpUntil([&] { return calls == 2; }));
  EXPECT_EQ(reported, std::vector<std::string>{"bad frame"});
}

TEST_F(PortTest, AnEchoAndAnAnswerReachTheHandlerInFull) {
  Bytes received;
  comm.SetOnRxChar([&](TSerCustomComm*, int count) {
    Bytes chunk(count);
    received.insert(received.end(), chunk.begin(),
                    chunk.begin() + comm.ReadBytes(chunk.data(), count));
  });
  comm.OpenPort();
  comm.SetDtrState(true);
  const Bytes request = B({0x82, 0x11, 0xF1, 0x21, 0x03, 0xA8});
  comm.SendBytes(request.data(), 6);
  ASSERT_EQ(PumpAndRead(6), request);
  Bytes answer = request;
  for (int b : {0x83, 0xF1, 0x11, 0x61, 0x03, 0x10, 0x1A})
    answer.push_back(static_cast<std::uint8_t>(b));
  master.Write(answer);
  EXPECT_TRUE(PumpUntil([&] { return received.size() >= answer.size(); }));
  EXPECT_EQ(received, answer);
}

TEST_F(PortTest, DirectWritesGoOutBeforeSendBytesReturns) {
  comm.SetDirectWrite(true);
  comm.OpenPort();
  const Bytes frame = B({0x81, 0x11, 0xF1, 0x81, 0x04});
  EXPECT_EQ(comm.SendBytes(frame.data(), 5), 5);
  EXPECT_EQ(master.Read(5, 10s), frame);  // no pumping needed: no write thread
}

}  // namespace
}  // namespace m797::serial::testing
