#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "gauges/blink_scheduler.h"

// The instruments are widgets: one application object for the whole run, on the off-screen
// platform so that no display is needed.  The blink scheduler is driven by hand.  A build with
// M797_SCALE_FACTOR runs on a screen of that device pixel ratio.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
#ifdef M797_SCALE_FACTOR
  setenv("QT_SCALE_FACTOR", M797_SCALE_FACTOR, 1);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  m797::gauges::TGxBlinkScheduler::Instance().SetAutoTick(false);
  return RUN_ALL_TESTS();
}
