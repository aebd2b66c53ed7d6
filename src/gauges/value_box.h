#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "gauges/bevel.h"
#include "gauges/draw_helpers.h"
#include "gauges/gx_font.h"
#include "gauges/offscreen_images.h"

class QPainter;

namespace m797::gauges {

// The framed numeric readout of the straight instruments.  It is measured on the value format's
// pattern, so that it is wide enough for the widest text the pattern can produce; the unit
// stands to its right.  The value text is drawn right-aligned through one off-screen bitmap.
class TGxValueBox {
 public:
  // w and h: the pattern's text size in the value font; u: the unit's width (0 when not shown).
  void Measure(const TGxFont& value_font, const QString& format_template, const QString& unit,
               bool show_unit);
  int TextWidth() const { return w_; }
  int TextHeight() const { return h_; }
  int UnitWidth() const { return u_; }

  // Paints the bevelled box at the top of rect, centred with its unit, and the unit text in the
  // value font's face but the caption colour.  Returns the box's outer rectangle.
  TRect Paint(QPainter& painter, const TRect& rect, const TGxSBevel& bevel,
              const TGxFont& value_font, TColor unit_color, const QString& unit, bool show_unit);

  // Where the value text goes (valid after Paint).
  const TRect& TextArea() const { return text_area_; }

  // The text area's picture for a value text at a device pixel ratio: the box colour with the
  // text right-aligned at the top.  Null when the area is empty.
  QImage RenderText(const QString& text, const TGxFont& value_font, TColor box_color,
                    qreal ratio) const;

 private:
  int w_ = 0;
  int h_ = 0;
  int u_ = 0;
  TRect text_area_;
};

}  // namespace m797::gauges
