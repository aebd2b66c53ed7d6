#include "gauges/bar_settings.h"

#include <QPainter>
#include <QTransform>

#include "gauges/draw_helpers.h"
#include "gauges/gx_math.h"
#include "gauges/offscreen_images.h"

namespace m797::gauges {

TBarSettings::TBarSettings()
    : font_(std::make_unique<TGxFont>(QStringLiteral("Arial"), 8, clBtnHighlight)),
      bevel_(std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 0, TBevelLine::blNone, 1)) {
  font_->SetOnChange([this](TGxPersistent*) { Changed(); });
  bevel_->SetOnChange([this](TGxPersistent*) { Changed(); });
}

void TBarSettings::SetminHeight(std::int32_t v) {
  if (v <= 0) return;
  Store(min_height_, v);
}

void TBarSettings::SetminWidth(std::int32_t v) {
  if (v <= 0) return;
  Store(min_width_, v);
}

QImage TBarSettings::Draw(QSize size, int ppt, TColor fill, const QString& value_text,
                          const QString& unit_text, qreal ratio) const {
  if (size.width() <= 0 || size.height() <= 0) return QImage();
  const bool lying = size.height() < size.width();
  // A lying column is drawn upright and then turned a quarter clockwise, its foot to the left.
  const QSize upright = lying ? size.transposed() : size;
  QImage image = TOffscreenImages::NewImage(upright, ratio, QImage::Format_RGB32);
  image.fill(ToQColor(bk_color_));
  DrawUpright(image, upright, std::clamp(ppt, 0, 1000), fill);
  if (lying) {
    image = image.transformed(QTransform().rotate(90));
    image.setDevicePixelRatio(ratio);
  }
  if (options_.Contains(TBarOption::opValue)) DrawText(image, size, value_text, unit_text);
  return image;
}

void TBarSettings::DrawUpright(QImage& image, QSize size, int v, TColor fill) const {
  const int hc = size.height();
  const int wc = size.width();
  QPainter painter(&image);
  const QColor color = ToQColor(fill);
  switch (style_) {
    case TBarStyle::bsBar: {
      const float g = static_cast<float>(hc) / 1000.0f;
      const int top = hc - RoundInt(v * static_cast<double>(g));
      const int z =
          options_.Contains(TBarOption::opBidir) ? RoundInt(static_cast<double>(g) * zero_ppt_) : 0;
      const int foot = hc - z;
      // A bidirectional column grows from the zero line up or down.
      const int y0 = std::min(top, foot);
      const int y1 = std::max(top, foot);
      if (y1 > y0) painter.fillRect(QRect(0, y0, wc, y1 - y0), color);
      break;
    }
    case TBarStyle::bsPoint: {
      const int top = hc - RoundInt(v * (hc - 3) / 1000.0) - 3;
      painter.fillRect(QRect(0, top, wc, 3), color);
      break;
    }
    case TBarStyle::bsLED_Bar: {
      const double g = hc / 4000.0;
      const int z = (hc - 4 * RoundInt(g * 1000.0)) / 2;
      const int n = RoundInt(v * g);
      if (n > 0) {
        painter.fillRect(QRect(0, hc - z - 4 * n, wc, 4 * n), color);
        const QColor gap = ToQColor(bk_color_);
        for (int i = 0; i < n; ++i)
          painter.fillRect(QRect(0, hc - z - 4 * i - 5, wc, 1), gap);
      }
      break;
    }
  }
}

void TBarSettings::DrawText(QImage& image, QSize size, const QString& value_text,
                            const QString& unit_text) const {
  QPainter painter(&image);
  // Exclusive-or keeps the text readable over both the fill and the background.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setFont(font_->ToQFont());
  painter.setPen(ToQColor(clBtnHighlight));
  const int cx = size.width() / 2;
  const int cy = size.height() / 2;
  if (options_.Contains(TBarOption::opUnit)) {
    DrawAlignedText(painter, cx, cy, 7, value_text);
    DrawAlignedText(painter, cx, cy, 1, unit_text);
  } else {
    DrawAlignedText(painter, cx, cy, 4, value_text);
  }
}

}  // namespace m797::gauges
