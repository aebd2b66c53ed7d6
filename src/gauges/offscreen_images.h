#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace m797::gauges {

// The off-screen images of an instrument: the surface that its paint event copies to the
// screen; the background copy of the area its moving parts move in; the marker layer, a strip of
// that background with the min and max markers drawn over it, kept while they stay; and the
// working copy of the layer on which a pass draws the pointer.  Rectangles are in the surface's
// coordinates, strips in the background's.
class TOffscreenImages {
 public:
  // A transparent surface of the size, ready for a full repaint.
  QImage& NewSurface(QSize size);
  const QImage& Surface() const { return surface_; }
  QImage& Surface() { return surface_; }

  // Takes `area` of the surface as the background; parts outside the surface stay transparent.
  void Capture(const QRect& area);
  // Forgets the background: nothing moves until the next capture.
  void Release();
  bool Captured() const { return background_.width() > 1; }
  const QRect& Area() const { return area_; }

  // The strip of the background, copied afresh into the marker layer.
  QImage& NewMarkerLayer(const QRect& strip);
  // The marker layer, copied afresh into the working copy.
  QImage& NewWork();
  const QImage& Work() const { return work_; }

  // Copies an image onto the surface at pos, replacing what is there; returns the part of the
  // surface that changed.
  QRect Put(const QImage& image, QPoint pos);

 private:
  // Copies the part of `from` inside rect into `to`, reusing `to` when its size fits.
  static void Copy(const QImage& from, const QRect& rect, QImage& to);

  QImage surface_;
  QRect area_;
  QImage background_;
  QImage layer_;
  QImage work_;
};

}  // namespace m797::gauges
