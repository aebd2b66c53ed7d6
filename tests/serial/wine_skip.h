#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#include "under_wine.h"
#endif

// Skips the test, giving the reason, when it runs under Wine, which cannot give on a
// pseudo-terminal what the test needs; never on Linux, never on Windows itself.
#ifdef _WIN32
#define SKIP_UNDER_WINE(reason)               \
  if (!::m797::testing::RunningUnderWine()) { \
  } else                                      \
    GTEST_SKIP() << reason
#else
#define SKIP_UNDER_WINE(reason) static_cast<void>(0)
#endif
