#include "ui/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace m797::ui {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::SetPicture(const QImage& picture, bool transparent) {
  picture_ = picture;
  if (transparent && !picture_.isNull()) {
    const QRgb key = picture_.pixel(0, picture_.height() - 1);
    picture_ = picture_.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture_.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(picture_.scanLine(y));
      for (int x = 0; x < picture_.width(); ++x)
        if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = 0;
    }
  }
  update();
}

QRect PictureBox::PictureRect() const {
  if (picture_.isNull()) return {};
  QSize size = picture_.size();
  if (size.width() > width() || size.height() > height())
    size.scale(this->size(), Qt::KeepAspectRatio);
  return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void PictureBox::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(PictureRect(), picture_);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
  QWidget::mouseReleaseEvent(event);
}

}  // namespace m797::ui
