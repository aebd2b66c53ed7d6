#include "gauges/thermometer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "gauges/gx_math.h"

namespace m797::gauges {

TGxThermometer::TGxThermometer(QWidget* parent)
    : TGxStraightInstrument({QSize(82, 172), true, false, false}, clBlue, clBtnFace, parent),
      bar_settings_(std::make_unique<TBarSettings>()) {
  TScaleSettings& scale = *ScaleSettings();
  scale.SetDrawLine(false);
  scale.SetSubSteps(5);
  scale.Font()->SetSize(8);
  TSignalSettings& signal = *SignalSettings();
  signal.SetValueUnit(QStringLiteral("°C"));
  signal.SetValueFrom(-40.0f);
  signal.SetValueTo(60.0f);
  bar_settings_->Bevel()->SetStyle(TBevelStyle::bsRaised);
  bar_settings_->Bevel()->SetSpacing(1);
  bar_settings_->SetminHeight(100);
  bar_settings_->SetminWidth(3);
}

void TGxThermometer::Loaded() {
  ConnectToSettingsChanged(*bar_settings_);
  TGxStraightInstrument::Loaded();
}

void TGxThermometer::SettingsChanged() {
  TGxAnalogGControl::SettingsChanged();
  const TSignalSettings& signal = *SignalSettings();
  bar_settings_->SetZeroPPT(RoundInt((0.0 - signal.ValueFrom()) * signal.PPTPerValue()));
  RequestRepaint();
}

QRect TGxThermometer::Column() const {
  return column_.ToQRect().translated(dynamic_area_.Left, dynamic_area_.Top);
}

void TGxThermometer::CalculateSize() {
  const TGxValueBox& box = MeasureScaleAndBox();
  const TScaleLayout& scale = scale_measured_;
  const TParts parts = Parts();
  const auto [outer, inner] = BevelWidths();
  const TBarSettings& bar = *bar_settings_;
  int h = 2 * bar.Bevel()->TotalWidth() + bar.minHeight() + outer;
  int w = bar.minWidth() + 2 * scale.scale_width + outer;
  AddCaptionSizes(outer, w, h);
  h += inner;
  w += inner;
  if (parts.value) AddValueBoxSize(BevelInner()->TotalWidth(), 0, box.TextHeight(), w, h);
  ApplyAutoSize(QSize(w, h));
}

void TGxThermometer::PaintStatic(QPainter& painter) {
  TScaleSettings& scale = *ScaleSettings();
  TBarSettings& bar = *bar_settings_;
  TRect rect = PaintFrame(painter);
  if (options_.Contains(TThMetOption::opValue))
    rect.Top = PaintValueBox(painter, rect).Bottom + BevelOuter()->Spacing();
  if (options_.Contains(TThMetOption::opBevelInner)) {
    BevelPaint(*BevelInner(), painter, rect);
  } else {
    const int margin = QFontMetrics(scale.Font()->ToQFont()).height() / 2 / 2;
    rect.Top += margin;
    rect.Bottom -= margin;
  }

  dynamic_area_ = rect;
  dynamic_area_.Shrink(-BevelInner()->Spacing());
  SetTooSmall(dynamic_area_.Width() < 2 || dynamic_area_.Height() < 2 || rect.Height() < 2);
  if (TooSmall()) return;

  const int d = 2 * bar.Bevel()->TotalWidth() + bar.minWidth();
  TRect column{(width() - d) / 2, rect.Top, (width() - d) / 2 + d, rect.Bottom};
  BevelPaint(*bar.Bevel(), painter, column);

  // Two scales in one rectangle: the base line at its right edge with the ticks to the left of
  // the column, and at its left edge with the ticks to the right.  PosLeftTop stays cleared.
  scale_ =
      scale.PlaceStraight(scale_measured_, {column.Right - scale_spacing_, column.Top,
                                            column.Left + scale_spacing_ - 1, column.Bottom - 1});
  scale.DrawStraight(painter, scale_, true);
  scale.DrawStraight(painter, scale_, false);
  scale.ClearPosLeftTop();

  column_ = {column.Left - dynamic_area_.Left, column.Top - dynamic_area_.Top,
             column.Left - dynamic_area_.Left + bar.minWidth(), column.Bottom - dynamic_area_.Top};
}

QRect TGxThermometer::MovingStrip() const {
  // The column and the markers beside it, with one pixel of margin.
  const QRect area = MovingArea();
  return QRect(QPoint(column_.Left - 1, 0),
               QPoint(column_.Right + scale_.tick_length + 1, area.height() - 1))
      .intersected(QRect(QPoint(0, 0), area.size()));
}

TGxInstrument::TPointerState TGxThermometer::PointerState() const {
  const TBarSettings& bar = *bar_settings_;
  const bool in_sector = Sector1() || Sector2() || Sector3();
  const TColor fill =
      bar.Options().Contains(TBarOption::opUseSectorCol) && in_sector ? SectorColor() : bar.Color();
  return {PPT(), fill, false,
          bar.Options().Contains(TBarOption::opValue) ? ValueText() : QString()};
}

void TGxThermometer::PaintMarkers(QPainter& painter, const TMarkerState& m) const {
  const int r = column_.Right;
  const int t = scale_.tick_length;
  auto marker = [&](bool visible, int ppt, TColor fill, auto corners) {
    if (!visible) return;
    const int y = scale_.map.Row(ppt) - dynamic_area_.Top;
    painter.setPen(ToQColor(fill));
    painter.setBrush(ToQColor(fill));
    painter.drawPolygon(corners(y));
  };
  marker(m.min_visible, m.min_ppt, m.min_color, [&](int y) {
    return QPolygon({QPoint(r, y), QPoint(r + t, y), QPoint(r + t, y + t / 2)});
  });
  marker(m.max_visible, m.max_ppt, m.max_color, [&](int y) {
    return QPolygon({QPoint(r, y), QPoint(r + t, y - t / 2), QPoint(r + t, y)});
  });
}

void TGxThermometer::PaintPointer(QPainter& painter, const TPointerState& p) const {
  const QImage column = bar_settings_->Draw(column_.ToQRect().size(), p.ppt, p.fill, ValueText(),
                                            SignalSettings()->ValueUnit(), Images().Ratio());
  if (!column.isNull()) painter.drawImage(column_.Left, column_.Top, column);
}

}  // namespace m797::gauges
