#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "serial/loop_dispatcher.h"

namespace m797::serial {
namespace {

using namespace std::chrono_literals;

TEST(LoopDispatcherTest, InvokeRunsOnTheOwnerThreadAndBlocksUntilDone) {
  LoopDispatcher dispatcher;
  std::thread::id ran_on;
  std::atomic<bool> returned{false};
  std::jthread worker([&] {
    dispatcher.Invoke([&] { ran_on = std::this_thread::get_id(); });
    returned = true;
  });
  EXPECT_TRUE(dispatcher.RunUntil([&] { return returned.load(); }, 10s));
  worker.join();
  EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TEST(LoopDispatcherTest, InvokeRaisesTheCallsExceptionInTheCaller) {
  LoopDispatcher dispatcher;
  std::string caught;
  std::atomic<bool> returned{false};
  std::jthread worker([&] {
    try {
      dispatcher.Invoke([] { throw std::runtime_error("from the main thread"); });
    } catch (const std::runtime_error& e) {
      caught = e.what();
    }
    returned = true;
  });
  EXPECT_TRUE(dispatcher.RunUntil([&] { return returned.load(); }, 10s));
  worker.join();
  EXPECT_EQ(caught, "from the main thread");
}

TEST(LoopDispatcherTest, OnTheOwnerThreadInvokeRunsDirectly) {
  LoopDispatcher dispatcher;
  int runs = 0;
  dispatcher.Invoke([&] { ++runs; });
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(dispatcher.PendingCount(), 0);
}

TEST(LoopDispatcherTest, AStoppedHandOverReturnsFalseAndItsCallNeverRuns) {
  LoopDispatcher dispatcher;
  std::stop_source stop;
  std::atomic<int> result{-1};
  std::atomic<bool> ran{false};
  std::jthread worker([&] { result = dispatcher.Invoke([&] { ran = true; }, stop.get_token()); });
  // Wait for the call to be queued without running it, then give up on it.
  ASSERT_TRUE(dispatcher.WaitForPending(1, 10s));
  stop.request_stop();
  worker.join();
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(dispatcher.RunPending(), 1);  // the queued wrapper runs, the call inside does not
  EXPECT_FALSE(ran.load());
}

TEST(LoopDispatcherTest, HandOversStoppedWhileTheyWaitAllReturn) {
  // Many times over, as a component thread is stopped while it waits in a hand-over: the stop
  // must always end the wait, whatever the timing.
  LoopDispatcher dispatcher;
  for (int i = 0; i < 1000; ++i) {
    std::atomic<int> result{-1};
    std::jthread worker(
        [&](std::stop_token stop) { result = dispatcher.Invoke([] {}, std::move(stop)); });
    if (i % 2 == 0) {
      ASSERT_TRUE(dispatcher.WaitForPending(1, 10s));
    }
    worker.request_stop();
    worker.join();
    dispatcher.RunPending();
    ASSERT_NE(result.load(), -1) << "round " << i;
  }
}

TEST(LoopDispatcherTest, CallsRunInPostingOrderAndThoseTheyPostRunToo) {
  LoopDispatcher dispatcher;
  std::vector<int> order;
  dispatcher.Post([&] {
    order.push_back(1);
    dispatcher.Post([&] { order.push_back(3); });
  });
  dispatcher.Post([&] { order.push_back(2); });
  EXPECT_EQ(dispatcher.RunPending(), 3);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(LoopDispatcherTest, RunUntilGivesUpAfterItsTimeoutAndWakesForPosts) {
  LoopDispatcher dispatcher;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(dispatcher.RunUntil([] { return false; }, 50ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);

  bool done = false;
  std::jthread poster([&] { dispatcher.Post([&] { done = true; }); });
  EXPECT_TRUE(dispatcher.RunUntil([&] { return done; }, 10s));
}

TEST(LoopDispatcherTest, AnExceptionFromAPostedCallLeavesTheRestQueued) {
  LoopDispatcher dispatcher;
  int later = 0;
  dispatcher.Post([] { throw std::runtime_error("boom"); });
  dispatcher.Post([&] { ++later; });
  EXPECT_THROW(dispatcher.RunPending(), std::runtime_error);
  EXPECT_EQ(dispatcher.RunPending(), 1);
  EXPECT_EQ(later, 1);
}

}  // namespace
}  // namespace m797::serial
