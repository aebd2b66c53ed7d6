#include "ui/form1_session.h"

#include "ui/exception_box.h"
#include "ui/form1.h"

namespace m797::ui {

Form1Session::Form1Session(TForm1& form, session::SessionControls& controls)
    : Timer1(10000, [&form] { form.Timer1Timer(); }),
      Timer2(2000, [&form] { form.Timer2Timer(); }),
      Timer3(1000, [&form] { form.Timer3Timer(); }),
      session(line, clock, {Timer1, Timer2, Timer3}, settings, controls) {
  tester_port::ConfigureTesterPort(SerComm1);
  SerComm1.SetOnRxChar([&form](serial::TSerCustomComm*, int count) { form.SerComm1RxChar(count); });
  SerComm1.SetExceptionHandler(
      [](const std::string& message) { PresentException(QString::fromStdString(message)); });
  Timer1.SetEnabled(true);
}

}  // namespace m797::ui
