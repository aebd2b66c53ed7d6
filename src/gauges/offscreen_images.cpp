#include "gauges/offscreen_images.h"

#include <QPainter>
#include <QRegion>
#include <cmath>
#include <cstring>

namespace m797::gauges {

namespace {

int DevicePixel(int v, qreal ratio) {
  return static_cast<int>(std::lround(v * ratio));
}

// Copies the pixels of `from` inside `rect` into `to` with their top-left corner at `at`; both
// images hold 32-bit pixels and the rectangles lie inside them.
void CopyPixels(const QImage& from, const QRect& rect, QImage& to, QPoint at) {
  const auto row_bytes = static_cast<std::size_t>(rect.width()) * 4;
  for (int y = 0; y < rect.height(); ++y)
    std::memcpy(to.scanLine(at.y() + y) + at.x() * 4,
                from.constScanLine(rect.top() + y) + rect.left() * 4, row_bytes);
}

}  // namespace

QRect TOffscreenImages::ToDevice(const QRect& rect, qreal ratio) {
  if (ratio == 1.0) return rect;
  const int left = DevicePixel(rect.left(), ratio);
  const int top = DevicePixel(rect.top(), ratio);
  return QRect(left, top, DevicePixel(rect.left() + rect.width(), ratio) - left,
               DevicePixel(rect.top() + rect.height(), ratio) - top);
}

QRect TOffscreenImages::ToControl(const QRect& rect) const {
  return QRectF(QPointF(rect.topLeft()) / ratio_, QSizeF(rect.size()) / ratio_).toAlignedRect();
}

QImage TOffscreenImages::NewImage(QSize size, qreal ratio, QImage::Format format) {
  QImage image(ToDevice(QRect(QPoint(0, 0), size), ratio).size(), format);
  image.setDevicePixelRatio(ratio);
  return image;
}

void TOffscreenImages::ClipInDevicePixels(QPainter& painter, const QRegion& region, qreal ratio) {
  // A clip is taken in the coordinates in force when it is set: set it with a world transform
  // that undoes the ratio, then return to control coordinates.
  const QTransform world = painter.worldTransform();
  painter.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio) * world);
  painter.setClipRegion(region, Qt::IntersectClip);
  painter.setWorldTransform(world);
}

QImage& TOffscreenImages::NewSurface(QSize size, qreal ratio) {
  if (!Fits(size, ratio)) {
    surface_ = NewImage(size, ratio);
    size_ = size;
    ratio_ = ratio;
  }
  surface_.fill(Qt::transparent);
  return surface_;
}

void TOffscreenImages::Capture(const QRect& area) {
  device_area_ = ToDevice(area, ratio_);
  background_ = surface_.copy(device_area_);
  background_.setDevicePixelRatio(ratio_);
}

void TOffscreenImages::Release() {
  background_ = QImage();
}

QImage& TOffscreenImages::NewMarkerLayer(const QRect& strip) {
  device_strip_ = ToDevice(strip, ratio_).intersected(background_.rect());
  CopyInto(background_, device_strip_, layer_);
  return layer_;
}

QImage& TOffscreenImages::NewWork() {
  CopyInto(layer_, layer_.rect(), work_);
  return work_;
}

QRect TOffscreenImages::PutWork() {
  return PutDevice(work_, device_area_.topLeft() + device_strip_.topLeft());
}

QRect TOffscreenImages::Put(const QImage& image, QPoint pos) {
  return PutDevice(image, ToDevice(QRect(pos, QSize(1, 1)), ratio_).topLeft());
}

void TOffscreenImages::CopyInto(const QImage& from, const QRect& rect, QImage& to) const {
  if (to.size() != rect.size() || to.format() != from.format())
    to = QImage(rect.size(), from.format());
  to.setDevicePixelRatio(ratio_);
  CopyPixels(from, rect, to, QPoint(0, 0));
}

QRect TOffscreenImages::PutDevice(const QImage& image, QPoint at) {
  // Row copies: a value pass puts one small image per moving part, and a painter costs more
  // than the copy itself.
  const QRect target = QRect(at, image.size()).intersected(surface_.rect());
  if (target.isEmpty()) return QRect();
  const QImage pixels = image.convertToFormat(surface_.format());
  CopyPixels(pixels, target.translated(-at), surface_, target.topLeft());
  return ToControl(target);
}

}  // namespace m797::gauges
