#include "ui/fitting_label.h"

#include <QPainter>
#include <QPainterPath>

namespace m797::ui {

FittingLabel::FittingLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

double FittingLabel::TextScale() const {
  if (text().contains(QLatin1Char('\n'))) return 1.0;
  const int advance = fontMetrics().horizontalAdvance(text().trimmed());
  const int room = contentsRect().width();
  return advance > room && room > 0 ? static_cast<double>(room) / advance : 1.0;
}

void FittingLabel::paintEvent(QPaintEvent* event) {
  const double scale = TextScale();
  if (scale >= 1.0) {
    QLabel::paintEvent(event);
    return;
  }
  // Drawn as outlines: a horizontally scaled font is rendered badly by some font engines (Wine's
  // GDI among them), while a filled path looks the same everywhere.
  const QRect room = contentsRect();
  const QFontMetrics metrics = fontMetrics();
  int baseline = room.top() + metrics.ascent();
  if (alignment() & Qt::AlignVCenter)
    baseline = room.top() + (room.height() - metrics.height()) / 2 + metrics.ascent();
  else if (alignment() & Qt::AlignBottom)
    baseline = room.bottom() + 1 - metrics.descent();
  QPainterPath outline;
  outline.addText(0, 0, font(), text().trimmed());
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(room.left(), baseline);
  painter.scale(scale, 1.0);
  painter.fillPath(outline, palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                            foregroundRole()));
}

}  // namespace m797::ui
