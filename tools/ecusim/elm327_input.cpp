#include "elm327_input.h"

namespace m797::ecusim {

std::optional<Elm327Input::Command> Elm327Input::Feed(char c) {
  if (c == '\r') {
    Command command{overlong_ ? std::string() : text_, overlong_};
    Reset();
    return command;
  }
  const auto u = static_cast<unsigned char>(c);
  if (u <= ' ' || u >= 0x7F) return std::nullopt;
  if (text_.size() >= kMaxLength) {
    overlong_ = true;
    return std::nullopt;
  }
  text_.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  return std::nullopt;
}

void Elm327Input::Reset() {
  text_.clear();
  overlong_ = false;
}

}  // namespace m797::ecusim
