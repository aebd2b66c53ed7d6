#pragma once

#include <string>

#include "serial/ser_comm.h"
#include "tester_port/ser_comm_line.h"

namespace m797::serial::testing {

// Sets the component up exactly as the tester does, on the device under test.
inline void ConfigureLikeTester(TSerComm& comm, const std::string& device) {
  tester_port::ConfigureTesterPort(comm);
  comm.SetDeviceName(device);
}

}  // namespace m797::serial::testing
