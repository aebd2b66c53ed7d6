#pragma once

#include <QFont>
#include <QString>

#include "gauges/gx_color.h"
#include "gauges/gx_persistent.h"

namespace m797::gauges {

// A font of an instrument: face, size, style and colour, with a change notification.  Sizes are
// held as a pixel height at 96 pixels per inch (8 points are 11 pixels), so that the drawing does
// not depend on the screen's resolution.
class TGxFont : public TGxPersistent {
 public:
  TGxFont(const QString& name, int points, TColor color = clWindowText);

  const QString& Name() const { return name_; }
  void SetName(const QString& name) { Store(name_, name); }

  // Negative: the character height in pixels, as stored with the windows (-11 is 8 points).
  int Height() const { return -pixels_; }
  void SetHeight(int height);

  int Size() const;  // points
  void SetSize(int points);

  TColor Color() const { return color_; }
  void SetColor(TColor color) { Store(color_, color); }

  bool Bold() const { return bold_; }
  void SetBold(bool bold) { Store(bold_, bold); }

  bool Italic() const { return italic_; }
  void SetItalic(bool italic) { Store(italic_, italic); }

  // Takes every attribute of the other font and notifies once.
  void Assign(const TGxFont& other);

  QFont ToQFont() const;

 private:
  QString name_;
  int pixels_;
  TColor color_;
  bool bold_ = false;
  bool italic_ = false;
};

// Maps the Windows face names that the stored settings use ("Arial", "System", "MS Sans Serif")
// to installed metric equivalents.  Idempotent; the instruments call it when they are created.
void InstallFontSubstitutions();

// The family a stored face name is drawn with.  "MS Sans Serif" is a bitmap font on Windows: it
// has no Cyrillic outside Russian editions (Wine's has none either, and Cyrillic then comes from a
// fallback font of other metrics, word by word) and comes in a few fixed sizes only, so at any
// display scale but 100 % it would not match its stored metrics.  Where it is installed but not
// scalable or without Cyrillic, the first installed of "Microsoft Sans Serif" (its scalable
// successor with the same metrics, on every Windows), "Arial" and "Liberation Sans" (Arial's
// metrics; Wine lends the host's fonts) is used instead.  Where it is not installed at all
// (Linux), the substitutions above stand for it.
QString ScreenFamily(const QString& stored);

}  // namespace m797::gauges
