#include "ui/form_fonts.h"

#include "gauges/gx_font.h"

namespace m797::ui {

QFont StoredFont(const char* family, int height, bool bold, bool italic) {
  gauges::InstallFontSubstitutions();
  QFont font(gauges::ScreenFamily(QString::fromLatin1(family)));
  font.setPixelSize(height < 0 ? -height : height);
  font.setBold(bold);
  font.setItalic(italic);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

}  // namespace m797::ui
