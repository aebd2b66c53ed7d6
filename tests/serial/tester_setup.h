#pragma once

#include <string>

#include "serial/ser_comm.h"

namespace m797::serial::testing {

// Sets the component up as the tester's main window stores it: 10400 bit/s 8N1, no flow
// control, DTR and RTS under program control, reads waiting up to 5 s, writes never waiting.
inline void ConfigureLikeTester(TSerComm& comm, const std::string& device) {
  comm.SetDeviceName(device);
  comm.SetBaudrate(TSerBaudrate::brUser);
  comm.SetUserBaudrate(10400);
  TSerFlowControl flow;
  flow.SetControlDtr(TSerControlDtr::dtrDisabled);
  flow.SetControlRts(TSerControlRts::rtsDisabled);
  comm.SetFlowControl(flow);
  comm.Buffers()->SetReadTimeout(5000);
  comm.Buffers()->SetWriteTimeout(0);
}

}  // namespace m797::serial::testing
