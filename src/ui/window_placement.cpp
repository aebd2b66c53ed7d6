#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "gauges/gx_color.h"

namespace m797::ui {

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QRect frame = window.frameGeometry();
  // The frame may not be known before the first show; the client size stands in for it then.
  const QSize size = frame.size().isValid() ? frame.size() : window.size();
  // A window's position is that of its frame.
  window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void ApplyButtonFace(QWidget& window) {
  QPalette palette = window.palette();
  const QColor face = gauges::ToQColor(gauges::clBtnFace);
  palette.setColor(QPalette::Window, face);
  palette.setColor(QPalette::Button, face);
  window.setPalette(palette);
  window.setAutoFillBackground(true);
}

}  // namespace m797::ui
