#include "gauges/value_format.h"

#include <gtest/gtest.h>

#include "qt_print.h"

namespace m797::gauges {
namespace {

TEST(ValueFormat, PatternsOfTheInstruments) {
  EXPECT_EQ(FormatValue("##0.0", 12.0), "12.0");
  EXPECT_EQ(FormatValue("####0", 850.0), "850");
  EXPECT_EQ(FormatValue("##0.00", 0.5), "0.50");
  EXPECT_EQ(FormatValue("##0", 0.0), "0");
  EXPECT_EQ(FormatValue("##0.0", 0.04), "0.0");
  // More digits than the pattern shows are still written.
  EXPECT_EQ(FormatValue("##0", 123456.0), "123456");
}

TEST(ValueFormat, HalvesRoundAwayFromZero) {
  EXPECT_EQ(FormatValue("##0", 12.5), "13");
  EXPECT_EQ(FormatValue("##0.0", 0.25), "0.3");
  EXPECT_EQ(FormatValue("##0.0", -0.25), "-0.3");
  // A single-precision reading is formatted from its exact value: 12.05f is a little above.
  EXPECT_EQ(FormatValue("##0.0", static_cast<double>(12.05f)), "12.1");
  EXPECT_EQ(FormatValue("##0.0", 9.96), "10.0");
}

TEST(ValueFormat, NegativeNumbersAndSections) {
  EXPECT_EQ(FormatValue("##0.0", -20.0), "-20.0");
  // A negative value that rounds to zero carries no sign.
  EXPECT_EQ(FormatValue("##0.0", -0.01), "0.0");
  // The second section formats negatives without a sign of its own.
  EXPECT_EQ(FormatValue("##0.0;(##0.0)", -3.0), "(3.0)");
  EXPECT_EQ(FormatValue("##0.0;(##0.0)", 3.0), "3.0");
}

TEST(ValueFormat, OptionalDecimalsAndLiterals) {
  EXPECT_EQ(FormatValue("0.##", 1.5), "1.5");
  EXPECT_EQ(FormatValue("0.##", 2.0), "2");
  EXPECT_EQ(FormatValue("#.0", 0.5), ".5");
  EXPECT_EQ(FormatValue("00", 7.0), "07");
  EXPECT_EQ(FormatValue("0 V", 12.0), "12 V");
}

TEST(ValueFormat, ExponentPattern) {
  EXPECT_EQ(FormatValue("0e-0", 100.0), "1e2");
  EXPECT_EQ(FormatValue("0e-0", 0.01), "1e-2");
  EXPECT_EQ(FormatValue("0e+00", 1000.0), "1e+03");
  EXPECT_EQ(FormatValue("0e-0", 1.0), "1e0");
}

TEST(ValueFormat, NonFiniteValuesDoNotBreakTheText) {
  EXPECT_EQ(FormatValue("##0.0", std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FormatValue("##0.0", std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FormatValue("##0.0", 1.0e22), "10000000000000000000000.0");
}

}  // namespace
}  // namespace m797::gauges
