#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace m797::gauges::gallery {

// One picture of the gallery: a file name without its extension ("VS_Speed_60.0") and the
// instrument as it shows on screen.
struct GalleryPicture {
  QString name;
  QImage image;
};

// Renders every instrument of the main window at a few values, each instrument writing its
// values one after the other so that its extremes build up as they would on screen.  Needs a
// QApplication and the blink scheduler driven by hand.
std::vector<GalleryPicture> RenderGallery();

}  // namespace m797::gauges::gallery
