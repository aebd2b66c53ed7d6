#include "gauges/scale_settings.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <memory>

#include "gauges/gx_math.h"
#include "gauges/value_format.h"

namespace m797::gauges {

namespace {

QPen TickPen(TColor color, int width) {
  QPen pen(ToQColor(color));
  pen.setWidth(width < 1 ? 1 : width);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

}  // namespace

TScaleSettings::TScaleSettings() : font_(std::make_unique<TGxFont>(QStringLiteral("Arial"), 14)) {
  font_->SetOnChange([this](TGxPersistent*) { Changed(); });
}

void TScaleSettings::SetDrawLine(bool v) {
  draw_line_ = v;
  Changed();
}

void TScaleSettings::SetSteps(std::int32_t v) {
  if (v < 1 || v > 20) return;
  Store(steps_, v);
}

void TScaleSettings::SetSubSteps(std::int32_t v) {
  if (v < 1 || v > 10) return;
  Store(sub_steps_, v);
}

QString TScaleSettings::Labels() const {
  QString text;
  for (const QString& label : labels_)
    text += label + ';';
  return text;
}

void TScaleSettings::BuildLabels(float first, float last) {
  labels_.clear();
  if (!log_scale_) {
    drawn_steps_ = steps_;
    for (int k = 0; k <= steps_; ++k) {
      const double value = first + k * (static_cast<double>(last) - first) / steps_;
      labels_ << FormatValue(value_format_, value);
    }
    return;
  }
  // Logarithmic: powers of ten, with as many intervals as divide the decade count evenly.
  auto decade = [](float v) { return RoundInt(std::log10(v > 0.0f ? v : 1.0f)); };
  const int from_decade = decade(first);
  const int to_decade = decade(last);
  const int decades = std::abs(to_decade - from_decade);
  int d = 1;
  for (int c = steps_; c >= 1; --c) {
    if (decades > 0 && decades % c == 0) {
      d = c;
      break;
    }
  }
  drawn_steps_ = d;
  const int direction = to_decade >= from_decade ? 1 : -1;
  const int per_step = decades / d;
  for (int k = 0; k <= d; ++k)
    labels_ << FormatValue(value_format_log_,
                           std::pow(10.0, from_decade + direction * k * per_step));
}

void TScaleSettings::Measure() {
  const QFontMetrics metrics(font_->ToQFont());
  label_height_ = metrics.height();
  label_width_ = 0;
  for (const QString& label : labels_)
    label_width_ = std::max(label_width_, metrics.horizontalAdvance(label));
}

void TScaleSettings::PrepareRound(float value_from, float value_to) {
  BuildLabels(value_from, value_to);
  Measure();
  major_pen_width_ = RoundInt(label_height_ / 14.0);
  label_gap_ = (label_width_ < label_height_ ? label_height_ / 2 : label_width_ / 2) + 1;
  text_clearance_ = major_pen_width_ / 2 + 3;
}

void TScaleSettings::DrawRound(QPainter& painter, TRect& rect, double sweep, double start) {
  const int w = rect.Width();
  const int lw = label_width_;
  const int lh = label_height_;
  const int g = label_gap_;
  const int pw = major_pen_width_;
  painter.save();
  painter.setFont(font_->ToQFont());
  painter.setBrush(Qt::NoBrush);

  const int cx = rect.Left + w / 2;
  const int r = g + (w - 2 * g) / 2 - lw / 2;
  tick_length_ = r / 8;
  minor_tick_length_ = pw == 1 ? tick_length_ / 2 : RoundInt(tick_length_ / 1.4);
  const int cy = rect.Top + r + lh / 2;
  dial_centre_ = QPoint(cx, cy);
  dial_radius_ = r;

  TRect square;
  square.Left = cx - r + lw / 2 + pw / 2;
  square.Top = cy - r + lw / 2 + pw / 2;
  square.Right = cx + r - lw / 2 + pw / 2 - 1;
  square.Bottom = cy + r - lw / 2 + pw / 2 - 1;

  const int n = drawn_steps_;
  const float minor_angle = static_cast<float>(sweep / (sub_steps_ * n));
  const float major_angle = static_cast<float>(sub_steps_) * minor_angle;

  const QPoint centre(cx, cy);
  const QPoint outer_end = RotatePoint(QPoint(cx, cy + g - r), centre, true, start);
  const QPoint inner_end = RotatePoint(QPoint(cx, cy + g + tick_length_ - r), centre, true, start);
  const QPoint minor_end =
      RotatePoint(QPoint(cx, cy + g + tick_length_ - r - minor_tick_length_), centre, true, start);
  const QPoint label_centre = RotatePoint(QPoint(cx, cy - r), centre, true, start);

  const QPen major_pen = TickPen(color_, pw);
  const QPen minor_pen = TickPen(color_, 1);
  const QPen label_pen(ToQColor(font_->Color()));
  int next_label = 0;
  auto major_at = [&](double a) {
    if (next_label < labels_.size()) {
      painter.setPen(label_pen);
      const QPoint at = RotatePoint(label_centre, centre, true, a);
      DrawAlignedText(painter, at.x(), at.y(), 4, labels_[next_label++]);
    }
    painter.setPen(major_pen);
    painter.drawLine(RotatePoint(outer_end, centre, true, a),
                     RotatePoint(inner_end, centre, true, a));
  };

  for (int i = 0; i < n; ++i) {
    major_at(static_cast<double>(i) * major_angle);
    painter.setPen(minor_pen);
    for (int j = 1; j < sub_steps_; ++j) {
      const int angle =
          log_scale_ ? RoundInt(std::log10(j * 10.0 / sub_steps_) * major_angle + major_angle * i)
                     : RoundInt(static_cast<double>(i) * major_angle +
                                static_cast<double>(j) * minor_angle);
      painter.drawLine(RotatePoint(inner_end, centre, true, angle),
                       RotatePoint(minor_end, centre, true, angle));
    }
  }
  major_at(sweep);

  arc_box_ = {square.Left + tick_length_, square.Top + tick_length_, square.Right - tick_length_,
              square.Bottom - tick_length_ + 1};
  if (pw == 1) {
    ++square.Left;
    ++square.Top;
  }
  painter.restore();
  rect = square;
}

void TScaleSettings::DrawArc(QPainter& painter, double sweep, double start) const {
  painter.save();
  painter.setPen(TickPen(color_, major_pen_width_));
  painter.setBrush(Qt::NoBrush);
  // Qt counts angles counter-clockwise from three o'clock; the scale clockwise from twelve.
  painter.drawArc(arc_box_.ToQRect(), RoundInt((90.0 - start) * 16.0), RoundInt(-sweep * 16.0));
  painter.restore();
}

void TScaleSettings::PrepareStraight(float value_to, float value_from) {
  BuildLabels(value_to, value_from);
  Measure();
  const int lh = label_height_;
  major_pen_width_ = RoundInt(lh / 14.0);
  label_gap_ = lh / 3;
  tick_length_ = RoundInt(lh / 1.4);
  minor_tick_length_ = major_pen_width_ == 1 ? tick_length_ / 2 : RoundInt(tick_length_ / 1.4);
  text_clearance_ = major_pen_width_ / 2 + 3;
  scale_width_ = label_width_ + tick_length_ + label_gap_;
  scale_min_height_ = RoundInt(lh * drawn_steps_ * 1.4);
}

void TScaleSettings::DrawStraight(QPainter& painter, const TRect& rect, bool pos_left_top) {
  const int n = drawn_steps_;
  const float minor_pitch = static_cast<float>(rect.Bottom - rect.Top) / (n * sub_steps_);
  const float major_pitch = static_cast<float>(sub_steps_) * minor_pitch;
  painter.save();
  painter.setFont(font_->ToQFont());
  painter.setBrush(Qt::NoBrush);
  scale_bottom_ = rect.Bottom;
  scale_top_ = RoundInt(rect.Bottom - n * static_cast<double>(major_pitch));

  const int x = pos_left_top ? rect.Right : rect.Left;
  const int direction = pos_left_top ? -1 : 1;
  const int label_x =
      pos_left_top ? x - tick_length_ - label_gap_ + 1 : x + tick_length_ + label_gap_;
  const int label_alignment = pos_left_top ? 5 : 3;
  const QPen major_pen = TickPen(color_, major_pen_width_);
  const QPen minor_pen = TickPen(color_, minor_pen_width_);
  const QPen label_pen(ToQColor(font_->Color()));

  const int last_y = RoundInt(n * static_cast<double>(major_pitch) + rect.Top);
  if (draw_line_) {
    painter.setPen(major_pen);
    painter.drawLine(x, rect.Top, x, last_y);
  }
  int next_label = 0;
  auto major_at = [&](int y) {
    painter.setPen(major_pen);
    painter.drawLine(x, y, x + direction * tick_length_, y);
    if (next_label < labels_.size()) {
      painter.setPen(label_pen);
      DrawAlignedText(painter, label_x, y, label_alignment, labels_[next_label++]);
    }
  };
  for (int i = 0; i < n; ++i) {
    major_at(RoundInt(static_cast<double>(i) * major_pitch + rect.Top));
    painter.setPen(minor_pen);
    for (int j = 0; j < sub_steps_; ++j) {
      const int y = RoundInt(static_cast<double>(j) * minor_pitch + rect.Top +
                             static_cast<double>(i) * major_pitch);
      painter.drawLine(x, y, x + direction * minor_tick_length_, y);
    }
  }
  major_at(last_y);
  painter.restore();
}

}  // namespace m797::gauges
