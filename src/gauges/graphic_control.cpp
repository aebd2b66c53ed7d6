#include "gauges/graphic_control.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

#include "gauges/blink_scheduler.h"

namespace m797::gauges {

TGxGraphicControl::TGxGraphicControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_NoSystemBackground);
}

TGxGraphicControl::~TGxGraphicControl() {
  BlinkStop(this);
}

void TGxGraphicControl::UnlockUpdate() {
  if (update_lock_ > 0) --update_lock_;
  if (update_lock_ == 0) NotifyChanged();
}

void TGxGraphicControl::NotifyChanged() {
  if (update_lock_ == 0) SettingsChanged();
}

void TGxGraphicControl::Invalidate() {
  // A self-sizing control takes its new size now, so that the next paint (or a grab) already
  // sees it; the full repaint runs the same calculation again.
  if (update_lock_ == 0) CalculateSize();
  background_stale_ = true;
  repaint_pending_ = true;
  update();
}

bool TGxGraphicControl::Visible() const {
  return !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
}

void TGxGraphicControl::BlinkMessage(std::uint32_t, int) {}

void TGxGraphicControl::PaintStatic(QPainter&) {}

void TGxGraphicControl::Repaint() {
  if (update_lock_ > 0) return;
  CalculateSize();
  const QSize wanted = size().expandedTo(QSize(1, 1));
  if (surface_.size() != wanted) surface_ = QImage(wanted, QImage::Format_ARGB32_Premultiplied);
  surface_.fill(Qt::transparent);
  {
    QPainter painter(&surface_);
    PaintStatic(painter);
  }
  repaint_pending_ = false;
  PaintFinished();
  update();
}

void TGxGraphicControl::PutImage(const QImage& image, QPoint pos) {
  const QRect target = QRect(pos, image.size()).intersected(surface_.rect());
  if (target.isEmpty()) return;
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
  update(target);
}

void TGxGraphicControl::CopyImage(const QImage& from, const QRect& rect, QImage& to) {
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

void TGxGraphicControl::CopyImage(const QImage& from, QImage& to) {
  if (to.size() != from.size() || to.format() != from.format())
    to = QImage(from.size(), from.format());
  std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
}

void TGxGraphicControl::paintEvent(QPaintEvent* event) {
  if (update_lock_ == 0 && (repaint_pending_ || surface_.size() != size())) Repaint();
  if (surface_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(event->rect(), surface_, event->rect());
}

void TGxGraphicControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Invalidate();
}

void TGxGraphicControl::contextMenuEvent(QContextMenuEvent* event) {
  if (popup_menu_) {
    popup_menu_->popup(event->globalPos());
    event->accept();
    return;
  }
  QWidget::contextMenuEvent(event);
}

}  // namespace m797::gauges
