#pragma once

#include <QImage>

#include "gauges/gx_color.h"

namespace m797::gauges {

// The background of an instrument's moving parts with the min and max markers already drawn:
// the markers only move when an extreme changes, so most value passes start from this copy and
// draw the pointer or column alone.
class TMarkerLayer {
 public:
  struct Key {
    int min_ppt;
    int max_ppt;
    bool min_visible;
    bool max_visible;
    TColor min_color;
    TColor max_color;
    bool operator==(const Key&) const = default;
  };

  // True when the layer has to be drawn again for this key; the layer then takes the key.
  bool NeedsRedraw(const Key& key) {
    if (valid_ && key == key_) return false;
    key_ = key;
    valid_ = true;
    return true;
  }
  // A new background copy invalidates the layer.
  void Forget() { valid_ = false; }
  QImage& Image() { return image_; }

 private:
  bool valid_ = false;
  Key key_{};
  QImage image_;
};

}  // namespace m797::gauges
