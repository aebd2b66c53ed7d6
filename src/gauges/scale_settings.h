#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "gauges/draw_helpers.h"
#include "gauges/gx_color.h"
#include "gauges/gx_font.h"
#include "gauges/gx_persistent.h"
#include "gauges/scale_map.h"

class QPainter;

namespace m797::gauges {

// What measuring and placing a scale yield, and all that drawing it needs besides the settings.
struct TScaleLayout {
  // Measured: the labels in drawing order, their sizes, the pens and the tick sizes.
  QStringList labels;
  int label_width = 0;
  int label_height = 0;
  int major_pen_width = 2;
  int minor_pen_width = 1;
  int tick_length = 14;
  int minor_tick_length = 7;
  int label_gap = 4;
  int text_clearance = 0;
  int steps = 5;  // major intervals: Steps, or on a logarithmic scale the divisor that replaces it
  int scale_width = 0;  // straight scales: the width they take and the height they need
  int scale_min_height = 0;

  // Placed: where positions and ticks lie; the straight scale's rectangle or the dial's square.
  TScaleMap map;
  TRect rect;
  // Dials: the centre, the label radius and the bounding box of the base arc.
  QPoint centre;
  int radius = 0;
  TRect arc_box;
};

// The scale of an instrument: major ticks with numbered labels and minor ticks between them,
// drawn along an arc (round meters) or along a vertical line (vertical meter, thermometer).
// Prepare* measures the labels and the tick sizes for the signal range, Place* lays the scale
// into the owner's rectangle, and Draw* paints it from that layout alone.  The scale keeps a
// copy of the layout it last prepared or placed for the layout values below, which the owner's
// readers see; drawing never reads that copy.
class TScaleSettings : public TGxPersistent {
 public:
  TScaleSettings();

  TColor Color() const { return color_; }
  void SetColor(TColor v) { Store(color_, v); }
  TColor PointerColor() const { return pointer_color_; }
  void SetPointerColor(TColor v) { Store(pointer_color_, v); }
  bool DrawLine() const { return draw_line_; }
  void SetDrawLine(bool v);  // always notifies
  TGxFont* Font() const { return font_.get(); }
  void SetFont(const TGxFont& font) { font_->Assign(font); }
  bool PosLeftTop() const { return pos_left_top_; }
  void SetPosLeftTop(bool v) { Store(pos_left_top_, v); }
  // How a repaint that draws both sides leaves the setting; asks for no further repaint.
  void ClearPosLeftTop() { pos_left_top_ = false; }
  std::int32_t Steps() const { return steps_; }
  void SetSteps(std::int32_t v);  // 1..20, others are ignored
  std::int32_t SubSteps() const { return sub_steps_; }
  void SetSubSteps(std::int32_t v);  // 1..10, others are ignored
  const QString& ValueFormat() const { return value_format_; }
  void SetValueFormat(const QString& v) { Store(value_format_, v); }
  const QString& ValueFormatLog() const { return value_format_log_; }
  void SetValueFormatLog(const QString& v) { Store(value_format_log_, v); }

  // Copied in from the owner; does not notify.
  bool LogScale() const { return log_scale_; }
  void SetLogScale(bool on) { log_scale_ = on; }

  // A dial lists its labels from ValueFrom, a straight scale from ValueTo at the top.
  TScaleLayout PrepareRound(float value_from, float value_to);
  TScaleLayout PrepareStraight(float value_from, float value_to);
  // A dial with its start angle and sweep in rect; layout.rect becomes the scale square.
  TScaleLayout PlaceRound(TScaleLayout layout, const TRect& rect, double start, double sweep);
  // A straight scale in rect; DrawStraight puts its base line on the left or the right edge.
  TScaleLayout PlaceStraight(TScaleLayout layout, const TRect& rect);

  void DrawRound(QPainter& painter, const TScaleLayout& layout) const;
  // The base arc of a dial, from its first major tick to its last along the inner tick ends.
  void DrawArc(QPainter& painter, const TScaleLayout& layout) const;
  // With pos_left_top the ticks and labels stand to the left of the base line.
  void DrawStraight(QPainter& painter, const TScaleLayout& layout, bool pos_left_top) const;

  // The layout values of the last Prepare* or Place*.
  const TScaleLayout& Layout() const { return layout_; }
  QString Labels() const;  // each label followed by ";"
  int LabelHeight() const { return layout_.label_height; }
  int TickLength() const { return layout_.tick_length; }
  int MinorTickLength() const { return layout_.minor_tick_length; }
  int LabelGap() const { return layout_.label_gap; }
  int DrawnSteps() const { return layout_.steps; }
  int ScaleTop() const { return layout_.map.Top(); }
  int ScaleBottom() const { return layout_.map.Bottom(); }
  QPoint DialCentre() const { return layout_.centre; }
  int DialRadius() const { return layout_.radius; }

 private:
  TScaleLayout Measure(float first, float last) const;
  const TScaleLayout& Keep(TScaleLayout layout) { return layout_ = std::move(layout); }

  TColor color_ = clBlack;
  TColor pointer_color_ = clLime;
  bool draw_line_ = true;
  std::unique_ptr<TGxFont> font_;
  bool pos_left_top_ = false;
  std::int32_t steps_ = 5;
  std::int32_t sub_steps_ = 2;
  QString value_format_ = QStringLiteral("##0");
  QString value_format_log_ = QStringLiteral("0e-0");
  bool log_scale_ = false;
  TScaleLayout layout_;
};

}  // namespace m797::gauges
