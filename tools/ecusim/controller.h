#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine_model.h"
#include "options.h"

namespace m797::ecusim {

using Bytes = std::vector<std::uint8_t>;

// The engine controller's side of the conversation: the answer data (service identifier first)
// for the data of a request, in the record layouts of the chosen controller type.
class Controller {
 public:
  Controller(int type, std::vector<TroubleCodeEntry> codes);

  // `engine` is read only for live-data requests.
  Bytes Answer(const Bytes& request, const EngineState& engine);

  const std::vector<TroubleCodeEntry>& codes() const { return codes_; }

 private:
  Bytes LiveData(std::uint8_t local_identifier, const EngineState& engine) const;

  int type_;
  std::vector<TroubleCodeEntry> codes_;
};

// A frame from the controller to the tester carrying `data`.
Bytes AnswerFrame(const Bytes& data);

// The same with format byte 0x80 and a separate length byte, whatever the length.
Bytes LengthByteAnswerFrame(const Bytes& data);

// Negative answer: 7F, the refused service, the reason.
Bytes NegativeAnswer(std::uint8_t service, std::uint8_t reason);

}  // namespace m797::ecusim
