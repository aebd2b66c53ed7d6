#include "gauges/thermometer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "gauges/gx_math.h"

namespace m797::gauges {

TGxThermometer::TGxThermometer(QWidget* parent)
    : TGxAnalogGControl(parent),
      font_value_(std::make_unique<TGxFont>(QStringLiteral("System"), 10, clBlue)),
      bevel_inner_(std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 5, TBevelLine::blInner, 2)),
      bevel_outer_(std::make_unique<TGxSBevel>(TBevelStyle::bsRaised, 5, TBevelLine::blOuter, 2)),
      bevel_value_(
          std::make_unique<TGxSBevel>(TBevelStyle::bsLowered, 0, TBevelLine::blNone, 2, clBtnFace)),
      scale_settings_(std::make_unique<TScaleSettings>()),
      bar_settings_(std::make_unique<TBarSettings>()),
      background_(1, 1, QImage::Format_ARGB32_Premultiplied) {
  background_.fill(Qt::transparent);
  scale_settings_->SetDrawLine(false);
  scale_settings_->SetSubSteps(5);
  scale_settings_->Font()->SetSize(8);
  TSignalSettings& signal = *SignalSettings();
  signal.SetValueUnit(QStringLiteral("°C"));
  signal.SetValueFrom(-40.0f);
  signal.SetValueTo(60.0f);
  bar_settings_->Bevel()->SetStyle(TBevelStyle::bsRaised);
  bar_settings_->Bevel()->SetSpacing(1);
  bar_settings_->SetminHeight(100);
  bar_settings_->SetminWidth(3);
  resize(82, 172);
}

TGxThermometer::~TGxThermometer() = default;

void TGxThermometer::Loaded() {
  ConnectToSettingsChanged(*font_value_);
  ConnectToSettingsChanged(*bevel_inner_);
  ConnectToSettingsChanged(*bevel_outer_);
  ConnectToSettingsChanged(*bevel_value_);
  ConnectToSettingsChanged(*scale_settings_);
  ConnectToSettingsChanged(*bar_settings_);
  TGxAnalogGControl::Loaded();
}

void TGxThermometer::RequestRepaint() {
  if (UpdateLock() == 0) Invalidate();
}

void TGxThermometer::SetAutoSize(bool on) {
  if (on == auto_size_) return;
  auto_size_ = on;
  RequestRepaint();
}

void TGxThermometer::SetOptions(TThMetOptions options) {
  if (options == options_) return;
  options_ = options;
  RequestRepaint();
}

void TGxThermometer::SetScaleSpacing(std::int32_t spacing) {
  if (spacing == scale_spacing_) return;
  scale_spacing_ = spacing;
  RequestRepaint();
}

void TGxThermometer::LogScaleChanged() {
  scale_settings_->SetLogScale(LogScale());
  TGxAnalogGControl::LogScaleChanged();
  RequestRepaint();
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
  const TSignalSettings& signal = *SignalSettings();
  TScaleSettings& scale = *scale_settings_;
  scale.PrepareStraight(signal.ValueTo(), signal.ValueFrom());
  box_.Measure(*font_value_, signal.FormatTemplate(), signal.ValueUnit(),
               options_.Contains(TThMetOption::opUnit));
  const bool has_outer = options_.Contains(TThMetOption::opBevelOuter);
  const int outer = has_outer ? 2 * bevel_outer_->TotalWidth() : 0;
  const int inner =
      options_.Contains(TThMetOption::opBevelInner) ? 2 * bevel_inner_->TotalWidth() : 0;
  const TBarSettings& bar = *bar_settings_;
  int h = 2 * bar.Bevel()->TotalWidth() + bar.minHeight() + outer;
  int w = bar.minWidth() + 2 * scale.ScaleWidth() + outer;
  AddCaptionSizes(*Font(), signal.Name1(), options_.Contains(TThMetOption::opName1), signal.Name2(),
                  options_.Contains(TThMetOption::opName2), outer, w, h);
  h += inner;
  w += inner;
  if (options_.Contains(TThMetOption::opValue)) {
    const int value_bevel = 2 * bevel_value_->TotalWidth();
    h += box_.TextHeight() + value_bevel + bevel_inner_->TotalWidth();
    w = std::max(w, box_.TextWidth() + box_.UnitWidth() + value_bevel + box_.TextHeight());
  }
  if (auto_size_ && size() != QSize(w, h)) resize(w, h);
}

void TGxThermometer::PaintStatic(QPainter& painter) {
  const TSignalSettings& signal = *SignalSettings();
  TScaleSettings& scale = *scale_settings_;
  TBarSettings& bar = *bar_settings_;
  TRect rect{0, 0, width(), height()};
  int s = 0;
  if (options_.Contains(TThMetOption::opBevelOuter)) {
    BevelPaint(*bevel_outer_, painter, rect);
    s = bevel_outer_->Spacing() / 2;
  }
  DrawCaptions(painter, rect, *Font(), signal.Name1(), options_.Contains(TThMetOption::opName1),
               signal.Name2(), options_.Contains(TThMetOption::opName2), s);
  if (options_.Contains(TThMetOption::opValue)) {
    const TRect box = box_.Paint(painter, rect, *bevel_value_, *font_value_, Font()->Color(),
                                 signal.ValueUnit(), options_.Contains(TThMetOption::opUnit));
    rect.Top = box.Bottom + bevel_outer_->Spacing();
  }
  if (options_.Contains(TThMetOption::opBevelInner)) {
    BevelPaint(*bevel_inner_, painter, rect);
  } else {
    const int margin = QFontMetrics(scale.Font()->ToQFont()).height() / 2 / 2;
    rect.Top += margin;
    rect.Bottom -= margin;
  }

  dynamic_area_ = rect;
  dynamic_area_.Shrink(-bevel_inner_->Spacing());
  too_small_ = dynamic_area_.Width() < 2 || dynamic_area_.Height() < 2 || rect.Height() < 2;
  if (too_small_) return;

  const int d = 2 * bar.Bevel()->TotalWidth() + bar.minWidth();
  TRect column{(width() - d) / 2, rect.Top, (width() - d) / 2 + d, rect.Bottom};
  BevelPaint(*bar.Bevel(), painter, column);

  const TRect scale_rect{column.Right - scale_spacing_, column.Top,
                         column.Left + scale_spacing_ - 1, column.Bottom - 1};
  scale.DrawStraight(painter, scale_rect, true);
  scale.DrawStraight(painter, scale_rect, false);

  column_ = {column.Left - dynamic_area_.Left, column.Top - dynamic_area_.Top,
             column.Left - dynamic_area_.Left + bar.minWidth(), column.Bottom - dynamic_area_.Top};
}

void TGxThermometer::PaintFinished() {
  if (too_small_) return;
  background_ = Surface().copy(dynamic_area_.ToQRect());
  markers_.Forget();
  ValueChanged();
}

TColor TGxThermometer::MarkerColor(int ppt, TColor own) const {
  if (MinMax()->UseSectorCol()) {
    if (const auto color = SectorSettings()->SectorColorAt(ppt)) return *color;
  }
  return own;
}

void TGxThermometer::ValueChanged() {
  TGxAnalogGControl::ValueChanged();
  if (too_small_ || !Visible() || background_.width() <= 1) return;
  const TMinMax& minmax = *MinMax();
  const TBarSettings& bar = *bar_settings_;
  const int r = column_.Right;
  const int t = scale_settings_->TickLength();
  const int ybase = column_.Bottom - 1;
  const double k = (ybase - column_.Top) / 1000.0;

  // Only the column and the markers beside it move.
  const QRect strip =
      QRect(QPoint(column_.Left - 1, 0), QPoint(r + t + 1, background_.height() - 1))
          .intersected(background_.rect());
  const TColor min_color = MarkerColor(MinPPT(), minmax.MinColor());
  const TColor max_color = MarkerColor(MaxPPT(), minmax.MaxColor());
  if (markers_.NeedsRedraw(
          {MinPPT(), MaxPPT(), minmax.MinVisible(), minmax.MaxVisible(), min_color, max_color})) {
    CopyImage(background_, strip, markers_.Image());
    QPainter painter(&markers_.Image());
    painter.translate(-strip.left(), -strip.top());
    if (minmax.MinVisible()) {
      const int y = ybase - RoundInt(MinPPT() * k);
      painter.setPen(ToQColor(min_color));
      painter.setBrush(ToQColor(min_color));
      painter.drawPolygon(QPolygon({QPoint(r, y), QPoint(r + t, y), QPoint(r + t, y + t / 2)}));
    }
    if (minmax.MaxVisible()) {
      const int y = ybase - RoundInt(MaxPPT() * k);
      painter.setPen(ToQColor(max_color));
      painter.setBrush(ToQColor(max_color));
      painter.drawPolygon(QPolygon({QPoint(r, y), QPoint(r + t, y - t / 2), QPoint(r + t, y)}));
    }
  }
  CopyImage(markers_.Image(), work_);
  QImage& image = work_;
  {
    QPainter painter(&image);
    painter.translate(-strip.left(), -strip.top());
    const bool in_sector = Sector1() || Sector2() || Sector3();
    const TColor fill = bar.Options().Contains(TBarOption::opUseSectorCol) && in_sector
                            ? SectorColor()
                            : bar.Color();
    const QImage column =
        bar.Draw(column_.ToQRect().size(), PPT(), fill, ValueText(), SignalSettings()->ValueUnit());
    if (!column.isNull()) painter.drawImage(column_.Left, column_.Top, column);
  }
  PutImage(image, QPoint(dynamic_area_.Left + strip.left(), dynamic_area_.Top + strip.top()));
  if (options_.Contains(TThMetOption::opValue)) {
    const QImage text = box_.RenderText(ValueText(), *font_value_, bevel_value_->Color());
    if (!text.isNull()) PutImage(text, QPoint(box_.TextArea().Left, box_.TextArea().Top));
  }
}

}  // namespace m797::gauges
