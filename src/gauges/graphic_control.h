#pragma once

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "gauges/offscreen_images.h"

namespace m797::gauges {

// Base of every instrument.  It paints into an off-screen surface the size of the control; a
// paint event only copies the surface to the screen.  A full repaint rebuilds the surface (the
// static parts, then the moving parts); a value change redraws only its moving parts on the
// surface and asks for the screen copy of that area.  The control is not opaque: where it does
// not paint, the parent shows through.
class TGxGraphicControl : public QWidget {
  Q_OBJECT

 public:
  explicit TGxGraphicControl(QWidget* parent = nullptr);
  ~TGxGraphicControl() override;

  // Bulk changes: while the lock is held nothing is recomputed or drawn.  Unlocking to 0 runs
  // NotifyChanged.
  int UpdateLock() const { return update_lock_; }
  void LockUpdate() { ++update_lock_; }
  void UnlockUpdate();
  // Requests a settings pass: runs SettingsChanged when the lock is 0.
  virtual void NotifyChanged();

  // Set by every invalidation; an instrument that keeps a background copy clears it when it has
  // captured a fresh one.
  bool BackgroundStale() const { return background_stale_; }

  // Requests a full repaint (sets BackgroundStale).
  void Invalidate();
  // The same unless the update lock is held.
  void RequestRepaint() {
    if (update_lock_ == 0) Invalidate();
  }

  // Performs a full repaint of the surface now, unless the update lock is held.
  void Repaint();

  // The published visibility: true unless the control was explicitly hidden, whether or not a
  // parent is on screen yet.
  bool Visible() const;
  void SetVisible(bool visible) { setVisible(visible); }

  QMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(QMenu* menu) { popup_menu_ = menu; }

  // The off-screen surface as last painted.
  const QImage& Surface() const { return images_.Surface(); }

  // The blink message of the blink scheduler (counter of the tick, -1 or 0).  Instruments that
  // flash override it.
  virtual void BlinkMessage(std::uint32_t counter, int state);

 protected:
  virtual void SettingsChanged() {}

  // Runs first in a full repaint, before the surface is sized; may resize the control.
  virtual void CalculateSize() {}
  // Paints the static parts onto the fresh surface.
  virtual void PaintStatic(QPainter& painter);
  // Runs after the static painting has ended: capture background copies, draw moving parts.
  virtual void PaintFinished() {}

  // Copies an image onto the surface at pos, replacing what is there, and asks for the screen
  // copy of that area.
  void PutImage(const QImage& image, QPoint pos) { update(images_.Put(image, pos)); }
  TOffscreenImages& Images() { return images_; }
  const TOffscreenImages& Images() const { return images_; }
  void ClearBackgroundStale() { background_stale_ = false; }

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int update_lock_ = 0;
  bool background_stale_ = true;
  bool repaint_pending_ = true;
  TOffscreenImages images_;
  QPointer<QMenu> popup_menu_;
};

}  // namespace m797::gauges
