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
  for (const QString& label : layout_.labels)
    text += label + ';';
  return text;
}

TScaleLayout TScaleSettings::Measure(float first, float last) const {
  TScaleLayout layout;
  if (!log_scale_) {
    layout.steps = steps_;
    for (int k = 0; k <= steps_; ++k) {
      const double value = first + k * (static_cast<double>(last) - first) / steps_;
      layout.labels << FormatValue(value_format_, value);
    }
  } else {
    // Powers of ten, with as many intervals as divide the decade count evenly.
    auto decade = [](float v) { return RoundInt(std::log10(v > 0.0f ? v : 1.0f)); };
    const int from_decade = decade(first);
    const int to_decade = decade(last);
    const int decades = std::abs(to_decade - from_decade);
    layout.steps = 1;
    for (int c = steps_; c >= 1; --c) {
      if (decades > 0 && decades % c == 0) {
        layout.steps = c;
        break;
      }
    }
    const int direction = to_decade >= from_decade ? 1 : -1;
    const int per_step = decades / layout.steps;
    for (int k = 0; k <= layout.steps; ++k)
      layout.labels << FormatValue(value_format_log_,
                                   std::pow(10.0, from_decade + direction * k * per_step));
  }
  const QFontMetrics metrics(font_->ToQFont());
  layout.label_height = metrics.height();
  for (const QString& label : layout.labels)
    layout.label_width = std::max(layout.label_width, metrics.horizontalAdvance(label));
  layout.major_pen_width = RoundInt(layout.label_height / 14.0);
  layout.text_clearance = layout.major_pen_width / 2 + 3;
  return layout;
}

TScaleLayout TScaleSettings::PrepareRound(float value_from, float value_to) {
  TScaleLayout layout = Measure(value_from, value_to);
  const int lw = layout.label_width;
  const int lh = layout.label_height;
  layout.label_gap = (lw < lh ? lh / 2 : lw / 2) + 1;
  return Keep(std::move(layout));
}

TScaleLayout TScaleSettings::PrepareStraight(float value_from, float value_to) {
  TScaleLayout layout = Measure(value_to, value_from);
  const int lh = layout.label_height;
  layout.label_gap = lh / 3;
  layout.tick_length = RoundInt(lh / 1.4);
  layout.minor_tick_length =
      layout.major_pen_width == 1 ? layout.tick_length / 2 : RoundInt(layout.tick_length / 1.4);
  layout.scale_width = layout.label_width + layout.tick_length + layout.label_gap;
  layout.scale_min_height = RoundInt(lh * layout.steps * 1.4);
  return Keep(std::move(layout));
}

TScaleLayout TScaleSettings::PlaceRound(TScaleLayout layout, const TRect& rect, double start,
                                        double sweep) {
  const int lw = layout.label_width;
  const int pw = layout.major_pen_width;
  const int cx = rect.Left + rect.Width() / 2;
  const int r = layout.label_gap + (rect.Width() - 2 * layout.label_gap) / 2 - lw / 2;
  const int tick = r / 8;
  layout.tick_length = tick;
  layout.minor_tick_length = pw == 1 ? tick / 2 : RoundInt(tick / 1.4);
  const int cy = rect.Top + r + layout.label_height / 2;
  layout.centre = QPoint(cx, cy);
  layout.radius = r;

  TRect& square = layout.rect;
  square.Left = cx - r + lw / 2 + pw / 2;
  square.Top = cy - r + lw / 2 + pw / 2;
  square.Right = cx + r - lw / 2 + pw / 2 - 1;
  square.Bottom = cy + r - lw / 2 + pw / 2 - 1;
  layout.arc_box = {square.Left + tick, square.Top + tick, square.Right - tick,
                    square.Bottom - tick + 1};
  if (pw == 1) {
    ++square.Left;
    ++square.Top;
  }
  layout.map = TScaleMap::Dial(start, sweep, layout.steps, sub_steps_, log_scale_);
  return Keep(std::move(layout));
}

TScaleLayout TScaleSettings::PlaceStraight(TScaleLayout layout, const TRect& rect) {
  layout.rect = rect;
  layout.map = TScaleMap::Column(rect.Top, rect.Bottom, layout.steps, sub_steps_);
  return Keep(std::move(layout));
}

void TScaleSettings::DrawRound(QPainter& painter, const TScaleLayout& layout) const {
  const TScaleMap& map = layout.map;
  const QPoint centre = layout.centre;
  const int cx = centre.x();
  const int cy = centre.y();
  const int r = layout.radius;
  const int g = layout.label_gap;
  const int tick = layout.tick_length;
  const double start = map.At(0);
  painter.save();
  painter.setFont(font_->ToQFont());
  painter.setBrush(Qt::NoBrush);

  // Reference points straight above the centre, turned to the start of the scale.
  const QPoint outer_end = RotatePoint(QPoint(cx, cy + g - r), centre, true, start);
  const QPoint inner_end = RotatePoint(QPoint(cx, cy + g + tick - r), centre, true, start);
  const QPoint minor_end =
      RotatePoint(QPoint(cx, cy + g + tick - r - layout.minor_tick_length), centre, true, start);
  const QPoint label_centre = RotatePoint(QPoint(cx, cy - r), centre, true, start);

  const QPen major_pen = TickPen(color_, layout.major_pen_width);
  const QPen minor_pen = TickPen(color_, 1);
  const QPen label_pen(ToQColor(font_->Color()));
  auto major_at = [&](int i) {
    const double a = map.MajorTick(i);
    if (i < layout.labels.size()) {
      painter.setPen(label_pen);
      const QPoint at = RotatePoint(label_centre, centre, true, a);
      DrawAlignedText(painter, at.x(), at.y(), 4, layout.labels[i]);
    }
    painter.setPen(major_pen);
    painter.drawLine(RotatePoint(outer_end, centre, true, a),
                     RotatePoint(inner_end, centre, true, a));
  };
  for (int i = 0; i < map.Steps(); ++i) {
    major_at(i);
    painter.setPen(minor_pen);
    for (int j = 1; j < map.SubSteps(); ++j) {
      const int a = map.MinorTick(i, j);
      painter.drawLine(RotatePoint(inner_end, centre, true, a),
                       RotatePoint(minor_end, centre, true, a));
    }
  }
  major_at(map.Steps());
  painter.restore();
}

void TScaleSettings::DrawArc(QPainter& painter, const TScaleLayout& layout) const {
  const double start = layout.map.At(0);
  const double sweep = layout.map.MajorTick(layout.map.Steps());
  painter.save();
  painter.setPen(TickPen(color_, layout.major_pen_width));
  painter.setBrush(Qt::NoBrush);
  // Qt counts angles counter-clockwise from three o'clock; the scale clockwise from twelve.
  painter.drawArc(layout.arc_box.ToQRect(), RoundInt((90.0 - start) * 16.0),
                  RoundInt(-sweep * 16.0));
  painter.restore();
}

void TScaleSettings::DrawStraight(QPainter& painter, const TScaleLayout& layout,
                                  bool pos_left_top) const {
  const TScaleMap& map = layout.map;
  const TRect& rect = layout.rect;
  const int tick = layout.tick_length;
  painter.save();
  painter.setFont(font_->ToQFont());
  painter.setBrush(Qt::NoBrush);

  const int x = pos_left_top ? rect.Right : rect.Left;
  const int direction = pos_left_top ? -1 : 1;
  const int label_x = pos_left_top ? x - tick - layout.label_gap + 1 : x + tick + layout.label_gap;
  const int label_alignment = pos_left_top ? 5 : 3;
  const QPen major_pen = TickPen(color_, layout.major_pen_width);
  const QPen minor_pen = TickPen(color_, layout.minor_pen_width);
  const QPen label_pen(ToQColor(font_->Color()));

  const int last_y = RoundInt(map.MajorTick(map.Steps()));
  if (draw_line_) {
    painter.setPen(major_pen);
    painter.drawLine(x, rect.Top, x, last_y);
  }
  auto major_at = [&](int i) {
    const int y = RoundInt(map.MajorTick(i));
    painter.setPen(major_pen);
    painter.drawLine(x, y, x + direction * tick, y);
    if (i < layout.labels.size()) {
      painter.setPen(label_pen);
      DrawAlignedText(painter, label_x, y, label_alignment, layout.labels[i]);
    }
  };
  for (int i = 0; i < map.Steps(); ++i) {
    major_at(i);
    painter.setPen(minor_pen);
    for (int j = 0; j < map.SubSteps(); ++j) {
      const int y = map.MinorTick(i, j);
      painter.drawLine(x, y, x + direction * layout.minor_tick_length, y);
    }
  }
  major_at(map.Steps());
  painter.restore();
}

}  // namespace m797::gauges
