#include "gauges/gx_font.h"

#include <QFontDatabase>

#include "gauges/gx_math.h"

namespace m797::gauges {

namespace {
int PointsToPixels(int points) {
  return RoundInt(points * 96.0 / 72.0);
}
}  // namespace

TGxFont::TGxFont(const QString& name, int points, TColor color)
    : name_(name), pixels_(PointsToPixels(points)), color_(color) {}

void TGxFont::SetHeight(int height) {
  // Positive heights include the internal leading in Windows; the instruments only store
  // negative ones, and a positive one is taken as the same pixel size.
  const int pixels = height < 0 ? -height : height;
  if (pixels == 0) return;
  Store(pixels_, pixels);
}

int TGxFont::Size() const {
  return RoundInt(pixels_ * 72.0 / 96.0);
}

void TGxFont::SetSize(int points) {
  if (points <= 0) return;
  Store(pixels_, PointsToPixels(points));
}

void TGxFont::Assign(const TGxFont& other) {
  if (&other == this) return;
  name_ = other.name_;
  pixels_ = other.pixels_;
  color_ = other.color_;
  bold_ = other.bold_;
  italic_ = other.italic_;
  Changed();
}

QFont TGxFont::ToQFont() const {
  InstallFontSubstitutions();
  QFont font(ScreenFamily(name_));
  font.setPixelSize(pixels_);
  font.setBold(bold_);
  font.setItalic(italic_);
  // Whole-pixel metrics keep the layout arithmetic identical to the integer text measures.
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setStyleStrategy(QFont::NoSubpixelAntialias);
  return font;
}

void InstallFontSubstitutions() {
  static const bool installed = [] {
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("MS Sans Serif",
                               {"Liberation Sans Narrow", "Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("System", {"DejaVu Sans", "Liberation Sans"});
    return true;
  }();
  (void)installed;
}

QString ScreenFamily(const QString& stored) {
  static const QString successor = []() -> QString {
    const QString bitmap = QStringLiteral("MS Sans Serif");
    if (!QFontDatabase::hasFamily(bitmap)) return {};
    if (QFontDatabase::isSmoothlyScalable(bitmap) &&
        QFontDatabase::writingSystems(bitmap).contains(QFontDatabase::Cyrillic))
      return {};
    for (const char* family : {"Microsoft Sans Serif", "Arial", "Liberation Sans"}) {
      if (QFontDatabase::hasFamily(QString::fromLatin1(family))) return QString::fromLatin1(family);
    }
    return {};
  }();
  if (!successor.isEmpty() && stored.compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0)
    return successor;
  return stored;
}

}  // namespace m797::gauges
