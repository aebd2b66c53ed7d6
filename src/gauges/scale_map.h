#pragma once

#include <cmath>

#include "gauges/gx_math.h"

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
    TScaleMap map(start, sweep / 1000.0, sweep, steps, sub_steps, log);
    map.tick_origin_ = 0.0;
    map.tick_end_ = sweep;
    return map;
  }

  // A straight scale whose ticks run from row `top` down to row `bottom`, where position 0 lies.
  static TScaleMap Column(int top, int bottom, int steps, int sub_steps) {
    TScaleMap map(bottom, 0.0, bottom - top, steps, sub_steps, false);
    map.tick_origin_ = top;
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
  TScaleMap(double zero, double per_ppt, double length, int steps, int sub_steps, bool log)
      : zero_(zero),
        per_ppt_(per_ppt),
        steps_(steps),
        sub_steps_(sub_steps),
        log_(log),
        minor_pitch_(static_cast<float>(length / (sub_steps * steps))),
        major_pitch_(static_cast<float>(sub_steps) * minor_pitch_) {}

  double zero_ = 0.0;
  double per_ppt_ = 0.0;
  int steps_ = 1;
  int sub_steps_ = 1;
  bool log_ = false;
  float minor_pitch_ = 0.0f;
  float major_pitch_ = 0.0f;
  double tick_origin_ = 0.0;
  double tick_end_ = 0.0;
  int top_ = 0;
};

}  // namespace m797::gauges
