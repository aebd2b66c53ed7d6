#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace m797::serial {

// The one exception the serial component raises; what() is the English message.
class ESerCommError : public std::runtime_error {
 public:
  explicit ESerCommError(const std::string& message) : std::runtime_error(message) {}
};

// Replaces the placeholders %d and %s of a template, in order, with the given texts.  Any other
// character, a placeholder without a text left and "%%" are copied as they are, so a name that
// happens to contain '%' can never be read as a placeholder.
std::string FillTemplate(std::string_view templ, const std::vector<std::string>& texts);

// The system's message text for a platform error code, with trailing control characters, blanks
// and full stops cut off.
std::string SystemErrorText(int code);
// Cuts trailing control characters, blanks and full stops off a system message.
std::string TrimSystemText(std::string text);

// Raises ESerCommError with the template filled with the code and the system's text for it.
[[noreturn]] void RaiseCommError(std::string_view templ, int code);
// Raises ESerCommError(templ, code) when ok is false.
inline void CheckCommResult(int code, std::string_view templ) {
  if (code != 0) RaiseCommError(templ, code);
}

}  // namespace m797::serial
