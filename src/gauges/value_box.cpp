#include "gauges/value_box.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <utility>

namespace m797::gauges {

QSize MeasureText(const TGxFont& font, const QString& text) {
  const QFontMetrics metrics(font.ToQFont());
  return QSize(metrics.horizontalAdvance(text), metrics.height());
}

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

QImage TGxValueBox::RenderText(const QString& text, const TGxFont& value_font,
                               TColor box_color) const {
  if (text_area_.Width() <= 0 || text_area_.Height() <= 0) return QImage();
  QImage image(text_area_.Width(), text_area_.Height(), QImage::Format_ARGB32_Premultiplied);
  image.fill(ToQColor(box_color));
  QPainter painter(&image);
  painter.setFont(value_font.ToQFont());
  painter.setPen(ToQColor(value_font.Color()));
  DrawAlignedText(painter, image.width(), 0, 2, text);
  return image;
}

void DrawCaptions(QPainter& painter, TRect& rect, const TGxFont& font, const QString& name1,
                  bool show_name1, const QString& name2, bool show_name2, int s) {
  painter.save();
  painter.setFont(font.ToQFont());
  painter.setPen(ToQColor(font.Color()));
  painter.setBrush(Qt::NoBrush);
  const int centre_x = (rect.Left + rect.Right) / 2;
  const QFontMetrics metrics(font.ToQFont());
  if (show_name2) {
    rect.Bottom -= metrics.height();
    DrawAlignedText(painter, centre_x, s + rect.Bottom, 1, name2);
  }
  if (show_name1) {
    rect.Bottom -= metrics.height();
    DrawAlignedText(painter, centre_x, s + rect.Bottom, 1, name1);
  }
  painter.restore();
}

void AddCaptionSizes(const TGxFont& font, const QString& name1, bool show_name1,
                     const QString& name2, bool show_name2, int outer, int& w, int& h) {
  for (const auto& [name, shown] : {std::pair(&name1, show_name1), std::pair(&name2, show_name2)}) {
    if (!shown) continue;
    const QSize size = MeasureText(font, *name);
    h += size.height();
    w = std::max(w, outer + size.width());
  }
}

}  // namespace m797::gauges
