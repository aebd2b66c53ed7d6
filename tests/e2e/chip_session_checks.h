#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "line_checks.h"

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

}  // namespace m797::e2e
