#include "cli/live_screen.h"

#include <cmath>

#include "shared_texts/page_texts.h"

namespace m797::cli {

namespace {

constexpr const char* kHome = "\x1b[H";
constexpr const char* kClearScreen = "\x1b[H\x1b[2J";
constexpr const char* kClearToLineEnd = "\x1b[K";

int CharacterCount(const std::string& text) {
  int count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

std::string ValueText(const std::optional<float>& value, int decimals) {
  if (!value) return "—";
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(*value));
  return text;
}

}  // namespace

std::string PadRight(const std::string& text, int width) {
  const int count = CharacterCount(text);
  return count >= width ? text : text + std::string(width - count, ' ');
}

LiveScreen::LiveScreen(std::FILE* out, std::string title) : out_(out), title_(std::move(title)) {}

void LiveScreen::Draw(const std::string& link_caption, const Readings& readings,
                      const std::string& status) {
  std::string screen = drawn_ ? kHome : kClearScreen;
  drawn_ = true;
  auto line = [&](const std::string& text) { screen += text + kClearToLineEnd + "\n"; };
  line(title_);
  line(shared_texts::kLabel11 + link_caption);
  line("");
  for (int i = 0; i < shared_texts::kQuantityCount; ++i) {
    const shared_texts::Quantity& q = shared_texts::Quantities()[i];
    const std::string value = ValueText(readings[i], q.decimals);
    line("  " + PadRight(q.caption, 32) +
         std::string(10 - std::min(10, CharacterCount(value)), ' ') + value + " " + q.unit);
  }
  line("");
  line(status);
  std::fputs(screen.c_str(), out_);
  std::fflush(out_);
}

void LiveScreen::Close() {
  if (drawn_) std::fputs("\n", out_);
  std::fflush(out_);
}

}  // namespace m797::cli
