// The main of every Windows test program.  Besides GoogleTest's own report it prints, for
// scripts/test-windows to collect, one line per skipped test with the reason given, and one line
// of totals.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "under_wine.h"

namespace {

class SkipReasonPrinter : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { reason_.clear(); }

  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (result.skipped()) reason_ = result.message();
  }

  void OnTestEnd(const ::testing::TestInfo& info) override {
    if (!info.result()->Skipped()) return;
    std::string reason = reason_.empty() ? "(no reason given)" : reason_;
    for (char& c : reason)
      if (c == '\n' || c == '\r') c = ' ';
    std::printf("[ SKIP WHY ] %s.%s: %s\n", info.test_suite_name(), info.name(), reason.c_str());
    std::fflush(stdout);
  }

  void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
    std::printf("[ TOTALS   ] ran %d passed %d skipped %d failed %d\n", unit.test_to_run_count(),
                unit.successful_test_count(), unit.skipped_test_count(), unit.failed_test_count());
    std::fflush(stdout);
  }

 private:
  std::string reason_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::printf("Running on %s\n", m797::testing::RunningUnderWine() ? "Wine" : "Windows");
  ::testing::UnitTest::GetInstance()->listeners().Append(new SkipReasonPrinter);
  return RUN_ALL_TESTS();
}
