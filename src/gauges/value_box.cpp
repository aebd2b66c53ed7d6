#include "gauges/value_box.h"

#include <QFontMetrics>
#include <QPainter>

namespace m797::gauges {

void TGxValueBox::Measure(const TGxFont& value_font, const QString& format_template,
                          const QString& unit, bool show_unit) {
  const QSize pattern = MeasureText(value_font, format_template);
  w_ = pattern.width();
  h_ = pattern.height();
  u_ = show_unit ? MeasureText(value_font, unit).width() : 0;
}

TRect TGxValueBox::Paint(QPainter& painter, const TRect& rect, const TGxSBevel& bevel,
                         const TGxFont& value_font, TColor unit_color, const QString& unit,
                         bool show_unit) {
  const int f = h_ / 3;
  const int t = bevel.TotalWidth();
  TRect box;
  box.Left = rect.Left + (rect.Width() - w_ - u_ - f) / 2 - f;
  box.Right = box.Left + w_ + 2 * t + 2 * f;
  box.Top = rect.Top;
  box.Bottom = box.Top + 2 * t + h_;
  const TRect outer = box;
  BevelPaint(bevel, painter, box);
  if (show_unit) {
    painter.save();
    QFont font = value_font.ToQFont();
    painter.setFont(font);
    painter.setPen(ToQColor(unit_color));
    painter.setBrush(Qt::NoBrush);
    DrawAlignedText(painter, box.Right + f, box.Top, 0, unit);
    painter.restore();
  }
  text_area_ = {box.Left + f, box.Top, box.Right - f, box.Bottom};
  return outer;
}

QImage TGxValueBox::RenderText(const QString& text, const TGxFont& value_font, TColor box_color,
                               qreal ratio) const {
  if (text_area_.Width() <= 0 || text_area_.Height() <= 0) return QImage();
  QImage image = TOffscreenImages::NewImage(text_area_.ToQRect().size(), ratio);
  image.fill(ToQColor(box_color));
  QPainter painter(&image);
  painter.setFont(value_font.ToQFont());
  painter.setPen(ToQColor(value_font.Color()));
  DrawAlignedText(painter, text_area_.Width(), 0, 2, text);
  return image;
}

}  // namespace m797::gauges
