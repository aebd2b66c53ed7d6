// The report draws each quantity against the scale and the coloured sectors of the instrument
// that shows it on the window; the two must not drift apart.
#include <gtest/gtest.h>

#include "cli/report/report_scales.h"
#include "ui/form1_gauges.h"

namespace {

using namespace m797;

void ExpectScaleOf(const gauges::TGxAnalogGControl& instrument, const cli::QuantityScale& scale,
                   float factor, bool with_sectors) {
  const auto& signal = *instrument.SignalSettings();
  EXPECT_FLOAT_EQ(scale.from, signal.ValueFrom() * factor);
  EXPECT_FLOAT_EQ(scale.to, signal.ValueTo() * factor);
  if (!with_sectors) {
    EXPECT_TRUE(scale.bands.empty());
    return;
  }
  ASSERT_EQ(scale.bands.size(), 3u);
  const auto& sectors = *instrument.SectorSettings();
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(scale.bands[n].from_ppt, sectors.FromOf(n));
    EXPECT_EQ(scale.bands[n].to_ppt, sectors.ToOf(n));
    EXPECT_EQ(scale.bands[n].color, gauges::ToQColor(sectors.ColorOf(n)));
  }
}

TEST(ReportScales, AreThoseOfTheWindowsInstruments) {
  namespace f = ui::form1;
  const auto scales = cli::QuantityScales();
  // The dials draw their sectors; the thermometers and vertical meters do not.
  ExpectScaleOf(*f::MakeVS_Speed(), scales[0], 1, true);
  ExpectScaleOf(*f::MakeVS_Nmot(), scales[1], 100, true);  // the dial reads hundreds of rpm
  ExpectScaleOf(*f::MakeVS_TOG(), scales[2], 1, false);
  ExpectScaleOf(*f::MakeVS_TANS(), scales[3], 1, false);
  ExpectScaleOf(*f::MakeVS_Ub(), scales[4], 1, true);
  ExpectScaleOf(*f::MakeVS_THR(), scales[5], 1, false);
  ExpectScaleOf(*f::MakeVS_MRV(), scales[6], 1, false);
  ExpectScaleOf(*f::MakeVS_DV(), scales[7], 1, false);
}

}  // namespace
