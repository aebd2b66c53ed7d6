#include "gauges/graphic_control.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>

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
  {
    QPainter painter(&surface_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(pos, image);
  }
  update(QRect(pos, image.size()));
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
