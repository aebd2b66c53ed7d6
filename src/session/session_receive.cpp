// Reading what the serial line reports and handing complete frames to the dispatch.
#include <algorithm>
#include <array>

#include "session/diagnostic_session.h"

namespace m797::session {

void DiagnosticSession::SerComm1RxChar(int count) {
  // Read in pieces no larger than the receive buffer, so a large count never overruns it.  Only
  // the bytes actually read are assembled; a short read means the rest has not come.
  while (count > 0) {
    std::array<std::uint8_t, FrameAssembler::kBufferSize> chunk{};
    const int wanted = std::min(count, static_cast<int>(chunk.size()));
    const int read = std::min(line_.ReadBytes(chunk.data(), wanted), wanted);
    if (read <= 0) return;
    bool port_open = true;
    assembler_.Feed(chunk.data(), static_cast<std::size_t>(read),
                    [&](const ResponseData& data) { return port_open = Dispatch(data); });
    if (!port_open || read < wanted) return;
    count -= read;
  }
}

}  // namespace m797::session
