#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdint>
#include <memory>

#include "gauges/draw_helpers.h"
#include "gauges/gx_color.h"
#include "gauges/gx_font.h"
#include "gauges/gx_math.h"
#include "gauges/gx_persistent.h"

class QPainter;

namespace m797::gauges {

// Where the positions of a scale (thousandths: 0 at its start, 1000 at its end) and its ticks lie
// on screen: angles in degrees clockwise from straight up on a dial, pixel rows on a straight
// scale.  Everything of an instrument that stands at a position (ticks and labels, sectors, min
// and max markers, pointer) takes its place from the instrument's one map.
//
// Ticks are laid from the end where the labels start (the dial's start angle, the straight
// scale's top row) in Steps major intervals of SubSteps minor ones.  A dial counts its ticks in
// degrees turned from its start, because its drawing turns reference points that already stand
// at the start angle; on a logarithmic dial the minor ticks stand at the logarithms of their
// values within the interval.  A straight scale spaces its minor ticks evenly.
class TScaleMap {
 public:
  TScaleMap() = default;

  // A dial from `start` through `sweep` degrees.
  static TScaleMap Dial(double start, double sweep, int steps, int sub_steps, bool log) {
    TScaleMap map(start, 0.0, sweep, steps, sub_steps, log);
    map.per_ppt_ = sweep / 1000.0;
    map.tick_end_ = sweep;
    return map;
  }

  // A straight scale whose ticks run from row `top` down to row `bottom`, where position 0 lies.
  static TScaleMap Column(int top, int bottom, int steps, int sub_steps) {
    TScaleMap map(bottom, top, bottom - top, steps, sub_steps, false);
    map.tick_end_ = steps * static_cast<double>(map.major_pitch_) + top;
    map.top_ = RoundInt(bottom - steps * static_cast<double>(map.major_pitch_));
    map.per_ppt_ = (map.top_ - bottom) / 1000.0;
    return map;
  }

  // How far a position lies from position 0: degrees turned, or rows (negative: upward).
  double Offset(double ppt) const { return ppt * per_ppt_; }
  int WholeOffset(double ppt) const { return RoundInt(Offset(ppt)); }
  // The place of a position, exactly and rounded to a whole degree or row.
  double At(double ppt) const { return zero_ + Offset(ppt); }
  double WholeAt(double ppt) const { return zero_ + WholeOffset(ppt); }
  int Row(double ppt) const { return static_cast<int>(WholeAt(ppt)); }

  int Steps() const { return steps_; }
  int SubSteps() const { return sub_steps_; }
  // Major tick i of 0..Steps; the last one lies at the end of the scale.
  double MajorTick(int i) const {
    return i == steps_ ? tick_end_ : tick_origin_ + static_cast<double>(i) * major_pitch_;
  }
  // Minor tick j of interval i, rounded to a whole degree or row (j = 0: at the major tick).
  int MinorTick(int i, int j) const {
    if (log_)
      return RoundInt(tick_origin_ + std::log10(j * 10.0 / sub_steps_) * major_pitch_ +
                      major_pitch_ * static_cast<double>(i));
    return RoundInt(tick_origin_ + static_cast<double>(i) * major_pitch_ +
                    static_cast<double>(j) * minor_pitch_);
  }

  // Straight scales: the rows of positions 0 and 1000.
  int Bottom() const { return static_cast<int>(zero_); }
  int Top() const { return top_; }

 private:
  TScaleMap(double zero, double tick_origin, double length, int steps, int sub_steps, bool log)
      : zero_(zero),
        tick_origin_(tick_origin),
        steps_(steps),
        sub_steps_(sub_steps),
        log_(log),
        minor_pitch_(static_cast<float>(length / (sub_steps * steps))),
        major_pitch_(static_cast<float>(sub_steps) * minor_pitch_) {}

  double zero_ = 0.0;
  double tick_origin_ = 0.0;
  int steps_ = 1;
  int sub_steps_ = 1;
  bool log_ = false;
  float minor_pitch_ = 0.0f;
  float major_pitch_ = 0.0f;
  double per_ppt_ = 0.0;
  double tick_end_ = 0.0;
  int top_ = 0;
};

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
