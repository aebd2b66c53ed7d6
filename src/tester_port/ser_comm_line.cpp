#include "tester_port/ser_comm_line.h"

namespace m797::tester_port {

void ConfigureTesterPort(serial::TSerComm& comm) {
  comm.SetUserBaudrate(10400);
  comm.SetDatabits(serial::TSerDatabits::db8);
  comm.SetParity(serial::TSerParity::paNone);
  comm.SetStopbits(serial::TSerStopbits::sb1);
  serial::TSerFlowControl* flow = comm.FlowControl();
  flow->SetOutCtsFlow(false);
  flow->SetOutDsrFlow(false);
  flow->SetControlDtr(serial::TSerControlDtr::dtrDisabled);
  flow->SetControlRts(serial::TSerControlRts::rtsDisabled);
  flow->SetXonXoffOut(false);
  flow->SetXonXoffIn(false);
  flow->SetDsrSensitivity(false);
  flow->SetTxContinueOnXoff(false);
  comm.SetDeviceName("COM2");
  comm.Buffers()->SetReadTimeout(5000);
  comm.Buffers()->SetWriteTimeout(0);
}

}  // namespace m797::tester_port
