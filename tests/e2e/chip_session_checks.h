#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "line_checks.h"
#include "session/session_texts.h"

namespace m797::e2e {

// What the session got through an ELM327 against the simulator's frame log of the K-line: its
// gauge writes are the decoding of the controller's answers (at most the last answer unread),
// and every pause after an answer is over 201 ms but the first, which is the chip's own, from
// its init to the session's StartCommunication.  Prints the pauses and the time to live data.
inline void ExpectSessionThroughChipMatches(
    const std::vector<std::pair<session::Gauge, float>>& actual,
    const std::vector<LoggedFrame>& frames, int type_index, const std::string& what,
    std::chrono::steady_clock::duration first_data) {
  const auto expected_writes = ExpectedGaugeWrites(frames, type_index);
  ASSERT_FALSE(actual.empty());
  ASSERT_LE(actual.size(), expected_writes.size());
  EXPECT_TRUE(std::equal(actual.begin(), actual.end(), expected_writes.begin()));
  EXPECT_GE(actual.size() + 12, expected_writes.size());

  std::vector<double> pauses = PausesAfterAnswers(frames);
  ASSERT_GE(pauses.size(), 3u);
  pauses.erase(pauses.begin());
  for (double pause : pauses)
    EXPECT_GE(pause, 201.0);
  std::sort(pauses.begin(), pauses.end());
  std::cout << what << "first live data "
            << std::chrono::duration_cast<std::chrono::milliseconds>(first_data).count()
            << " ms after the start; pauses on the K-line " << pauses.front() << " to "
            << pauses.back() << " ms, median " << pauses[pauses.size() / 2] << " ms\n";
}

// Starts a rig's session and runs it through the chip until its first live data and then until
// `requests` requests have gone out; gives what the session wrote and how long after the start
// the first live data came.  The rig is left running.
struct ChipRun {
  std::vector<std::pair<session::Gauge, float>> writes;
  std::chrono::steady_clock::duration first_data{};
};

template <typename Rig>
void RunToLiveData(Rig& rig, std::size_t requests, std::chrono::seconds limit, ChipRun& run) {
  ASSERT_TRUE(rig.Start()) << "the port did not open";
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(rig.loop.RunUntil([&] { return !rig.controls.gauge_history.empty(); }, limit));
  run.first_data = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(rig.WaitForRequests(requests));
  run.writes = rig.controls.gauge_history;
}

// After the stop: the link was up, the requests began with `expected`, and no error was shown.
template <typename Rig>
void ExpectLinkUpAndRequests(Rig& rig, const std::vector<std::string>& expected) {
  EXPECT_EQ(rig.controls.label10, session::kLinkUpCaption);
  std::vector<std::string> requests = rig.Requests();
  requests.resize(std::min(requests.size(), expected.size()));
  EXPECT_EQ(requests, expected);
  EXPECT_TRUE(rig.loop.errors().empty()) << rig.loop.errors().front();
}

}  // namespace m797::e2e
