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
  {
    QPainter painter(&images_.NewSurface(size().expandedTo(QSize(1, 1)), devicePixelRatioF()));
    PaintStatic(painter);
  }
  repaint_pending_ = false;
  PaintFinished();
  update();
}

void TGxGraphicControl::paintEvent(QPaintEvent* event) {
  const QImage& surface = images_.Surface();
  if (update_lock_ == 0 &&
      (repaint_pending_ || !images_.Fits(size().expandedTo(QSize(1, 1)), devicePixelRatioF())))
    Repaint();
  if (surface.isNull()) return;
  QPainter painter(this);
  painter.drawImage(event->rect(), surface,
                    TOffscreenImages::ToDevice(event->rect(), images_.Ratio()));
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
