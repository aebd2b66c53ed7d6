#include "gauges/offscreen_images.h"

#include <QPainter>
#include <cstring>

namespace m797::gauges {

namespace {

constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

}  // namespace

QImage& TOffscreenImages::NewSurface(QSize size) {
  if (surface_.size() != size) surface_ = QImage(size, kFormat);
  surface_.fill(Qt::transparent);
  return surface_;
}

void TOffscreenImages::Capture(const QRect& area) {
  area_ = area;
  background_ = surface_.copy(area);
}

void TOffscreenImages::Release() {
  area_ = QRect();
  background_ = QImage();
}

QImage& TOffscreenImages::NewMarkerLayer(const QRect& strip) {
  Copy(background_, strip, layer_);
  return layer_;
}

QImage& TOffscreenImages::NewWork() {
  Copy(layer_, layer_.rect(), work_);
  return work_;
}

void TOffscreenImages::Copy(const QImage& from, const QRect& rect, QImage& to) {
  const QRect part = rect.intersected(from.rect());
  if (to.size() != part.size() || to.format() != from.format())
    to = QImage(part.size(), from.format());
  if (part.isEmpty()) return;
  const int bytes = from.depth() / 8;
  const auto row_bytes = static_cast<std::size_t>(part.width() * bytes);
  for (int y = 0; y < part.height(); ++y)
    std::memcpy(to.scanLine(y), from.constScanLine(part.top() + y) + part.left() * bytes,
                row_bytes);
}

QRect TOffscreenImages::Put(const QImage& image, QPoint pos) {
  const QRect target = QRect(pos, image.size()).intersected(surface_.rect());
  if (target.isEmpty()) return target;
  if (image.format() == surface_.format()) {
    // Row copies: a value pass puts one small image per moving part, and a painter costs more
    // than the copy itself.
    const auto row_bytes = static_cast<std::size_t>(target.width()) * 4;
    for (int y = target.top(); y <= target.bottom(); ++y) {
      const uchar* from = image.constScanLine(y - pos.y()) + (target.left() - pos.x()) * 4;
      std::memcpy(surface_.scanLine(y) + target.left() * 4, from, row_bytes);
    }
  } else {
    QPainter painter(&surface_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(pos, image);
  }
  return target;
}

}  // namespace m797::gauges
