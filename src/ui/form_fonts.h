#pragma once

#include <QFont>

namespace m797::ui {

// A font as the windows store it: a Windows family name ("MS Sans Serif", "System", "Arial") and
// a height in pixels, stored as a negative number.  The family is resolved to an installed font
// through the same substitutions that the instruments use, so every text of the windows and of
// the gauges comes from one choice of installed fonts.
QFont StoredFont(const char* family, int height, bool bold = false, bool italic = false);

}  // namespace m797::ui
