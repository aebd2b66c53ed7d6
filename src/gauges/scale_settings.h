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

class QPainter;

namespace m797::gauges {

// The scale of an instrument: major ticks with numbered labels and minor ticks between them,
// drawn along an arc (round meters) or along a vertical line (vertical meter, thermometer).
// Prepare* measures the labels and fixes the tick sizes that the owner's layout reads; Draw*
// paints the scale into the rectangle the owner gives.
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

  // Layout values, valid after Prepare*.
  QString Labels() const;  // each label followed by ";"
  const QStringList& LabelList() const { return labels_; }
  int LabelWidth() const { return label_width_; }
  int LabelHeight() const { return label_height_; }
  int MajorPenWidth() const { return major_pen_width_; }
  int MinorPenWidth() const { return minor_pen_width_; }
  int TickLength() const { return tick_length_; }
  int MinorTickLength() const { return minor_tick_length_; }
  int LabelGap() const { return label_gap_; }
  int TextClearance() const { return text_clearance_; }
  // The number of major intervals drawn: Steps, or on a logarithmic scale the divisor of the
  // decade count that takes its place.
  int DrawnSteps() const { return drawn_steps_; }

  // Straight scales.
  int ScaleWidth() const { return scale_width_; }
  int ScaleMinHeight() const { return scale_min_height_; }
  int ScaleTop() const { return scale_top_; }
  int ScaleBottom() const { return scale_bottom_; }

  // Round scales: the base arc's bounding box and the centre of the dial.
  const TRect& ArcBox() const { return arc_box_; }
  QPoint DialCentre() const { return dial_centre_; }
  int DialRadius() const { return dial_radius_; }

  void PrepareRound(float value_from, float value_to);
  // Draws the round scale with the sweep and start angle (degrees clockwise from straight up)
  // and replaces rect by the scale square.
  void DrawRound(QPainter& painter, TRect& rect, double sweep, double start);
  // Draws the base arc recorded by DrawRound.
  void DrawArc(QPainter& painter, double sweep, double start) const;

  void PrepareStraight(float value_to, float value_from);
  void DrawStraight(QPainter& painter, const TRect& rect) {
    DrawStraight(painter, rect, pos_left_top_);
  }
  // The same on the side given, leaving PosLeftTop as it is (the thermometer draws both sides).
  void DrawStraight(QPainter& painter, const TRect& rect, bool pos_left_top);

 private:
  void BuildLabels(float first, float last);
  void Measure();

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

  QStringList labels_;
  int label_width_ = 0;
  int label_height_ = 0;
  int major_pen_width_ = 2;
  int minor_pen_width_ = 1;
  int tick_length_ = 14;
  int minor_tick_length_ = 7;
  int label_gap_ = 4;
  int text_clearance_ = 0;
  int drawn_steps_ = 5;
  int scale_width_ = 0;
  int scale_min_height_ = 0;
  int scale_top_ = 0;
  int scale_bottom_ = 0;
  TRect arc_box_;
  QPoint dial_centre_;
  int dial_radius_ = 0;
};

}  // namespace m797::gauges
