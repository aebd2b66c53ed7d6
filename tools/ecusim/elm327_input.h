#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace m797::ecusim {

// Collects the tester's text into commands as an ELM327 reads them: a command ends at CR; blanks
// and other control characters are dropped; letters are taken in upper case.  At most
// kMaxLength characters are kept: a longer command is reported as overlong, whatever it held.
class Elm327Input {
 public:
  static constexpr std::size_t kMaxLength = 64;

  struct Command {
    std::string text;  // empty: a lone CR
    bool overlong = false;
  };

  // Takes one character; a whole command when it was the CR that ends one.
  std::optional<Command> Feed(char c);
  // Forgets a command begun.
  void Reset();

 private:
  std::string text_;
  bool overlong_ = false;
};

}  // namespace m797::ecusim
