// The tester: the main window first, then the about window, hidden; the program ends when the
// main window closes.
#include <QApplication>

#include "gauges/blink_scheduler.h"
#include "qt_adapters/realtime_kit_grant.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form_texts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("m797-tester"));
  m797::gauges::TGxBlinkScheduler::Instance().SetAutoTick(true);
  const m797::qt_adapters::RealtimeKitGrant realtime_kit;  // the wake-up's real-time class

  m797::ui::TForm1 form1;
  m797::ui::TForm2 form2;
  form1.SetForm2(&form2);
  // Closing the main window ends the program, even with the about window open.
  form2.setAttribute(Qt::WA_QuitOnClose, false);
  form1.show();
  return app.exec();
}
