#include "serial/ser_error.h"

namespace m797::serial {

std::string FillTemplate(std::string_view templ, const std::vector<std::string>& texts) {
  std::string out;
  out.reserve(templ.size() + 32);
  std::size_t next = 0;
  for (std::size_t i = 0; i < templ.size(); ++i) {
    const bool placeholder =
        templ[i] == '%' && i + 1 < templ.size() && (templ[i + 1] == 'd' || templ[i + 1] == 's');
    if (placeholder && next < texts.size()) {
      out += texts[next++];
      ++i;
    } else {
      out += templ[i];
    }
  }
  return out;
}

std::string TrimSystemText(std::string text) {
  while (!text.empty()) {
    const unsigned char c = static_cast<unsigned char>(text.back());
    if (c > ' ' && c != '.') break;
    text.pop_back();
  }
  return text;
}

void RaiseCommError(std::string_view templ, int code) {
  throw ESerCommError(FillTemplate(templ, {std::to_string(code), SystemErrorText(code)}));
}

}  // namespace m797::serial
