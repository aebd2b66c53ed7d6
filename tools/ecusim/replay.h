#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "controller.h"
#include "wire_log/wire_log_line.h"

namespace m797::ecusim {

// The controller's side of a recorded conversation: every answer addressed to the tester in a
// wire log, filed under the request that came before it.  Which side kept the log does not
// matter: requests and answers are told apart by their target address, and the tester's echo of
// its own request is the same request again.
class Replay {
 public:
  explicit Replay(const std::vector<wire_log::WireLogLine>& lines);

  // The whole answer frame, exactly as recorded, for the data of a request: the answers recorded
  // for that request in turn, starting over after the last.  A request the recording never made
  // gets a negative answer.
  Bytes Answer(const Bytes& request);

  // How many answers the recording holds.
  std::size_t size() const { return size_; }

 private:
  struct Answers {
    std::vector<Bytes> frames;
    std::size_t next = 0;
  };
  std::map<Bytes, Answers> answers_;
  std::size_t size_ = 0;
};

}  // namespace m797::ecusim
