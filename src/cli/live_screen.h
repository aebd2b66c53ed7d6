#pragma once

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "shared_texts/quantities.h"

namespace m797::cli {

// The live data on a terminal: the eight quantities with their units and the link state, drawn
// over the same lines of the screen at every update.
class LiveScreen {
 public:
  LiveScreen(std::FILE* out, std::string title);

  // The latest reading of each quantity, none before the first.
  using Readings = std::array<std::optional<float>, shared_texts::kQuantityCount>;

  // `status`: what the last line says (time, rows written...).
  void Draw(const std::string& link_caption, const Readings& readings, const std::string& status);
  // Leaves the cursor below the screen.
  void Close();

 private:
  std::FILE* out_;
  std::string title_;
  bool drawn_ = false;
};

// Pads UTF-8 text with blanks to `width` characters.
std::string PadRight(const std::string& text, int width);

}  // namespace m797::cli
