#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;
class QRegion;

namespace m797::gauges {

// The off-screen images of an instrument: the surface that its paint event copies to the
// screen; the background copy of the area its moving parts move in; the marker layer, a strip of
// that background with the min and max markers drawn over it, kept while they stay; and the
// working copy of the layer on which a pass draws the pointer.
//
// Every image holds device pixels, `Ratio` of them to a control pixel in each direction, and
// carries that ratio, so that painters draw on it in control coordinates at the full resolution
// of the screen.  Rectangles and points given here are in control pixels: areas in the
// surface's coordinates, strips in the background's.
class TOffscreenImages {
 public:
  // A transparent surface of the size at the ratio, ready for a full repaint.
  QImage& NewSurface(QSize size, qreal ratio);
  const QImage& Surface() const { return surface_; }
  QImage& Surface() { return surface_; }
  // Whether the surface was made for this size and ratio.
  bool Fits(QSize size, qreal ratio) const { return size_ == size && ratio_ == ratio; }
  qreal Ratio() const { return ratio_; }

  // Takes `area` of the surface as the background; parts outside the surface stay transparent.
  void Capture(const QRect& area);
  // Forgets the background: nothing moves until the next capture.
  void Release();
  bool Captured() const { return background_.width() > 1; }

  // The strip of the background, copied afresh into the marker layer.
  QImage& NewMarkerLayer(const QRect& strip);
  // The marker layer, copied afresh into the working copy.
  QImage& NewWork();
  // Copies the working copy back to where its strip lies on the surface; returns the part of
  // the surface that changed.
  QRect PutWork();

  // Copies an image made by NewImage onto the surface at pos, replacing what is there; returns
  // the part of the surface that changed.
  QRect Put(const QImage& image, QPoint pos);

  // An image of `size` control pixels at the ratio.
  static QImage NewImage(QSize size, qreal ratio,
                         QImage::Format format = QImage::Format_ARGB32_Premultiplied);
  // A rectangle of control pixels in device pixels: each edge lands on the device pixel nearest
  // to it, so that neighbouring rectangles stay neighbours.
  static QRect ToDevice(const QRect& rect, qreal ratio);
  // Clips the painter to a region of device pixels, so that its edges are as fine as the screen.
  static void ClipInDevicePixels(QPainter& painter, const QRegion& region, qreal ratio);

 private:
  // Copies the part of `from` inside rect (device pixels, inside `from`) into `to`, reusing `to`
  // when its size fits.
  void CopyInto(const QImage& from, const QRect& rect, QImage& to) const;
  // Copies an image's device pixels onto the surface with their top-left corner at `at`; returns
  // the part of the surface that changed, in control pixels.
  QRect PutDevice(const QImage& image, QPoint at);
  QRect ToControl(const QRect& rect) const;

  QImage surface_;
  QSize size_;
  qreal ratio_ = 1.0;
  QRect device_area_;
  QImage background_;
  QRect device_strip_;  // of the marker layer, in the background's device pixels
  QImage layer_;
  QImage work_;
};

}  // namespace m797::gauges
