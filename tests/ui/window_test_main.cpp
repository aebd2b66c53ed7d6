// The windows' tests run on Qt's off-screen platform, with a private configuration folder (set
// before the first QSettings, which reads it once per process) and the error box replaced by a
// recorder that the tests read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "gauges/blink_scheduler.h"
#include "shown_errors.h"
#include "ui/exception_box.h"

namespace m797::ui::test {

QStringList& ShownErrors() {
  static QStringList errors;
  return errors;
}

void RecordShownErrors() {
  SetExceptionPresenter([](const QString& message) { ShownErrors() << message; });
}

}  // namespace m797::ui::test

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QTemporaryDir config;
  setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  m797::ui::test::RecordShownErrors();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
