#include "ui/form1_gauges.h"

#include <cmath>
#include <limits>
#include <optional>

#include "shared_texts/quantities.h"

namespace m797::ui::form1 {

using namespace gauges;

namespace {

constexpr float kNotStored = std::numeric_limits<float>::quiet_NaN();

// The unit of a recorded quantity's instrument, as the console program shows it too; none for a
// gauge that only repeats a quantity.
const char* UnitOf(session::Gauge gauge) {
  const shared_texts::Quantity* quantity = shared_texts::FindQuantity(gauge);
  return quantity ? quantity->unit : "";
}

void LoadCaptionFont(TGxAnalogGControl& g) {
  g.Font()->SetName("Arial");
  g.Font()->SetHeight(-11);
  g.Font()->SetColor(clWindowText);
}

void LoadStraightScale(TScaleSettings& scale, int steps, int sub_steps, bool draw_line,
                       int font_height) {
  scale.SetColor(clBlack);
  scale.SetPointerColor(clLime);
  scale.SetDrawLine(draw_line);
  scale.Font()->SetName("Arial");
  scale.Font()->SetHeight(font_height);
  scale.Font()->SetColor(clWindowText);
  scale.SetPosLeftTop(false);
  scale.SetSteps(steps);
  scale.SetSubSteps(sub_steps);
  scale.SetValueFormat("##0");
  scale.SetValueFormatLog("0e-0");
}

// SignalSettings, with the Digit and the Value that go with them.
struct SignalStored {
  const char* name1;
  const char* name2;
  const char* unit;
  float value_from = 0.0f;  // 0: not stored
  float value_to;
  const char* format;
  int digit = 0;
  float value = kNotStored;
};

void LoadSignalSettings(TSignalSettings& signal, const SignalStored& d) {
  signal.SetName1(QString::fromUtf8(d.name1));
  signal.SetName2(QString::fromUtf8(d.name2));
  signal.SetValueUnit(QString::fromUtf8(d.unit));
  if (d.value_from != 0.0f) signal.SetValueFrom(d.value_from);
  signal.SetValueTo(d.value_to);
  signal.SetValueFormat(QString::fromUtf8(d.format));
}

void LoadSignal(TGxAnalogGControl& g, const SignalStored& d) {
  g.SetDigit(d.digit);
  LoadSignalSettings(*g.SignalSettings(), d);
}

void LoadValue(TGxAnalogGControl& g, float value) {
  if (!std::isnan(value)) g.SetValue(value);
}

// The green, yellow and red sectors of a round meter, in tenths of a per cent of its arc.
struct DialSectors {
  int sector1_to;
  int sector2_from;
  int sector2_to;
  int sector3_from;
};

struct DialSettings {
  QRect geometry;
  SignalStored signal;
  float limit_upper;
  float limit_lower;
  std::optional<DialSectors> sectors = std::nullopt;  // none: the sectors are not stored
  int steps;
  int sub_steps;
  int unit_font_height = -13;
  bool unit_font_bold = false;
  bool min_marker_hidden = false;   // MinMax.MinVisible stored False
  bool inner_grad_colours = false;  // BevelInner.SurfaceGrad colours stored (red to blue)
};

// Applies the stored properties of a round meter in published order and completes loading.
void LoadDial(TGxRMeter& m, const DialSettings& d) {
  m.setGeometry(d.geometry);
  m.SetDigit(d.signal.digit);
  m.SetLimitUpper(d.limit_upper);
  m.SetLimitLower(d.limit_lower);
  TSectorSettings& sectors = *m.SectorSettings();
  if (d.sectors) {
    sectors.SetSector1Color(clGreen);
    sectors.SetSector1To(d.sectors->sector1_to);
    sectors.SetSector2Color(clYellow);
    sectors.SetSector2From(d.sectors->sector2_from);
    sectors.SetSector2To(d.sectors->sector2_to);
    sectors.SetSector3From(d.sectors->sector3_from);
  }
  sectors.SetOffset(0);
  sectors.SetWidthOffset(0);
  LoadSignalSettings(*m.SignalSettings(), d.signal);
  if (d.min_marker_hidden) m.MinMax()->SetMinVisible(false);
  LoadValue(m, d.signal.value);

  LoadCaptionFont(m);
  m.SetAutoSize(false);
  m.FontUnit()->SetName("System");
  m.FontUnit()->SetColor(clBlack);
  m.FontUnit()->SetHeight(d.unit_font_height);
  m.FontUnit()->SetBold(d.unit_font_bold);
  m.BevelInner()->SetStyle(TBevelStyle::bsLowered);
  m.BevelInner()->SetBevelLine(TBevelLine::blInner);
  m.BevelInner()->SetSpacing(0);
  if (d.inner_grad_colours) {
    m.BevelInner()->SurfaceGrad()->SetColorFrom(clRed);
    m.BevelInner()->SurfaceGrad()->SetColorTo(clBlue);
  }
  m.BevelOuter()->SetStyle(TBevelStyle::bsRaised);
  m.BevelOuter()->SetSpacing(0);
  m.BevelOuter()->SetBevelLine(TBevelLine::blNone);
  m.SetOptions({TRMeterOption::opBevelOuter, TRMeterOption::opName1, TRMeterOption::opName2,
                TRMeterOption::opOverflow, TRMeterOption::opLimit, TRMeterOption::opSector});
  LoadStraightScale(*m.ScaleSettings(), d.steps, d.sub_steps, true, -19);
  m.Loaded();
}

}  // namespace

std::unique_ptr<TGx180Meter> MakeVS_Speed(QWidget* parent) {
  auto m = std::make_unique<TGx180Meter>(parent);
  LoadDial(*m,
           {.geometry = QRect(8, 32, 209, 145),
            .signal = {.name1 = "Скорость,",
                       .name2 = "км/ч",
                       .unit = "км/ч",
                       .value_to = 250.0f,
                       .format = "##0.0"},
            .limit_upper = 180.0f,
            .limit_lower = -1.0f,
            .sectors =
                DialSectors{
                    .sector1_to = 440, .sector2_from = 440, .sector2_to = 720, .sector3_from = 720},
            .steps = 5,
            .sub_steps = 2,
            .unit_font_height = -11,
            .unit_font_bold = true,
            .min_marker_hidden = true,
            .inner_grad_colours = true});
  return m;
}

std::unique_ptr<TGx180Meter> MakeVS_Nmot(QWidget* parent) {
  auto m = std::make_unique<TGx180Meter>(parent);
  LoadDial(*m,
           {.geometry = QRect(240, 32, 193, 145),
            .signal = {.name1 = "Обороты КВ,",
                       .name2 = "*100 об/мин",
                       .unit = "%",
                       .value_to = 70.0f,
                       .format = "##0.0"},
            .limit_upper = 50.0f,
            .limit_lower = -1.0f,
            .sectors =
                DialSectors{
                    .sector1_to = 571, .sector2_from = 572, .sector2_to = 857, .sector3_from = 858},
            .steps = 7,
            .sub_steps = 5,
            .min_marker_hidden = true});
  return m;
}

std::unique_ptr<TGx120Meter> MakeVS_Ub(QWidget* parent) {
  auto m = std::make_unique<TGx120Meter>(parent);
  LoadDial(*m, {.geometry = QRect(8, 208, 209, 169),
                .signal = {.name1 = "Напряжение бортовой сети,",
                           .name2 = "В",
                           .unit = "%",
                           .value_from = 6.0f,
                           .value_to = 18.0f,
                           .format = "##0.0",
                           .digit = 500,
                           .value = 12.0f},
                .limit_upper = 15.0f,
                .limit_lower = 9.0f,
                .steps = 5,
                .sub_steps = 2});
  return m;
}

namespace {

void LoadValueFont(TGxFont& font, TColor color) {
  font.SetName("System");
  font.SetColor(color);
  font.SetHeight(-13);
}

void LoadValueBevel(TGxSBevel& bevel) {
  bevel.SetStyle(TBevelStyle::bsLowered);
  bevel.SetSpacing(0);
  bevel.SetBevelLine(TBevelLine::blNone);
}

// The fonts and the bevels of an indicator or a thermometer: both outer bevels drawn as lines,
// the value box lowered.
void LoadFramedValue(TGxStraightInstrument& g, bool auto_size, TColor value_colour) {
  LoadCaptionFont(g);
  g.SetAutoSize(auto_size);
  LoadValueFont(*g.FontValue(), value_colour);
  g.BevelInner()->SetStyle(TBevelStyle::bsLowered);
  g.BevelInner()->SetBevelLine(TBevelLine::blInner);
  g.BevelOuter()->SetStyle(TBevelStyle::bsRaised);
  g.BevelOuter()->SetBevelLine(TBevelLine::blOuter);
  LoadValueBevel(*g.BevelValue());
}

std::unique_ptr<TGxValueInd> MakeIndicator(QWidget* parent, QRect geometry,
                                           const SignalStored& signal) {
  auto g = std::make_unique<TGxValueInd>(parent);
  g->setGeometry(geometry);
  LoadSignal(*g, signal);
  g->SetLimitUpper(90.0f);
  g->SetLimitLower(10.0f);
  LoadValue(*g, signal.value);
  LoadFramedValue(*g, true, clLime);
  g->BevelValue()->SetColor(clBlack);
  g->SetOptions({TValueIndOption::opUnit});
  g->Loaded();
  return g;
}

// Whether a thermometer shows the marker of the lowest value seen.
enum class MinMarker { kHidden, kShown };

std::unique_ptr<TGxThermometer> MakeThermometer(QWidget* parent, QRect geometry,
                                                const SignalStored& signal, MinMarker min_marker) {
  auto g = std::make_unique<TGxThermometer>(parent);
  g->setGeometry(geometry);
  LoadSignal(*g, signal);
  g->SetLimitUpper(90.0f);
  g->SetLimitLower(10.0f);
  g->SectorSettings()->SetOffset(0);
  g->SectorSettings()->SetWidthOffset(0);
  g->MinMax()->SetMinVisible(min_marker == MinMarker::kShown);
  LoadValue(*g, signal.value);
  LoadFramedValue(*g, false, clBlue);
  g->SetOptions(
      {TThMetOption::opValue, TThMetOption::opName1, TThMetOption::opName2, TThMetOption::opUnit});
  LoadStraightScale(*g->ScaleSettings(), 5, 5, false, -11);
  g->SetScaleSpacing(2);
  TBarSettings& bar = *g->BarSettings();
  bar.SetStyle(TBarStyle::bsBar);
  bar.Font()->SetName("MS Sans Serif");
  bar.Font()->SetHeight(-11);
  bar.Font()->SetColor(clBtnHighlight);
  bar.SetOptions({});
  bar.SetColor(clBlue);
  bar.SetBkColor(clBtnFace);
  bar.Bevel()->SetStyle(TBevelStyle::bsRaised);
  bar.Bevel()->SetSpacing(1);
  bar.Bevel()->SetBevelLine(TBevelLine::blNone);
  bar.Bevel()->SetWidth(1);
  bar.SetminHeight(100);
  bar.SetminWidth(3);
  g->Loaded();
  return g;
}

struct VerticalSettings {
  TGxVMeterOptions options;
  bool sector1_green = false;  // SectorSettings.Sector1Color stored (green)
  int steps;
  int sub_steps;
};

std::unique_ptr<TGxVMeter> MakeVertical(QWidget* parent, QRect geometry, const SignalStored& signal,
                                        const VerticalSettings& settings) {
  auto g = std::make_unique<TGxVMeter>(parent);
  g->setGeometry(geometry);
  LoadSignal(*g, signal);
  g->SetLimitUpper(90.0f);
  g->SetLimitLower(-1.0f);
  if (settings.sector1_green) g->SectorSettings()->SetSector1Color(clGreen);
  g->SectorSettings()->SetOffset(0);
  g->SectorSettings()->SetWidthOffset(0);
  g->MinMax()->SetMinVisible(false);
  LoadValue(*g, signal.value);
  LoadCaptionFont(*g);
  g->SetAutoSize(false);
  LoadValueFont(*g->FontValue(), clLime);
  g->BevelInner()->SetStyle(TBevelStyle::bsLowered);
  g->BevelInner()->SetBevelLine(TBevelLine::blInner);
  g->BevelInner()->SetSpacing(0);
  g->BevelOuter()->SetStyle(TBevelStyle::bsRaised);
  g->BevelOuter()->SetSpacing(0);
  g->BevelOuter()->SetBevelLine(TBevelLine::blNone);
  LoadValueBevel(*g->BevelValue());
  g->BevelValue()->SetColor(clBlack);
  g->SetOptions(settings.options);
  LoadStraightScale(*g->ScaleSettings(), settings.steps, settings.sub_steps, true, -19);
  g->Loaded();
  return g;
}

}  // namespace

std::unique_ptr<TGxValueInd> MakeVI_Speed(QWidget* parent) {
  return MakeIndicator(parent, QRect(80, 8, 72, 20),
                       {.name1 = "SignalName1",
                        .name2 = "SignalName2",
                        .unit = UnitOf(session::Gauge::VI_Speed),
                        .value_to = 250.0f,
                        .format = "##0"});
}

std::unique_ptr<TGxValueInd> MakeVI_Nmot(QWidget* parent) {
  return MakeIndicator(parent, QRect(264, 8, 105, 20),
                       {.name1 = "SignalName1",
                        .name2 = "SignalName2",
                        .unit = UnitOf(session::Gauge::VI_Nmot),
                        .value_to = 10000.0f,
                        .format = "####0"});
}

std::unique_ptr<TGxValueInd> MakeVI_Ub(QWidget* parent) {
  return MakeIndicator(parent, QRect(72, 184, 66, 20),
                       {.name1 = "SignalName1",
                        .name2 = "SignalName2",
                        .unit = UnitOf(session::Gauge::VI_Ub),
                        .value_to = 100.0f,
                        .format = "##0.0",
                        .digit = 120,
                        .value = 12.0f});
}

std::unique_ptr<TGxThermometer> MakeVS_TOG(QWidget* parent) {
  return MakeThermometer(parent, QRect(448, 184, 105, 201),
                         {.name1 = "Температура",
                          .name2 = "охлаж. жид.",
                          .unit = UnitOf(session::Gauge::VS_TOG),
                          .value_from = -40.0f,
                          .value_to = 160.0f,
                          .format = "##0.0",
                          .digit = 100,
                          .value = -20.0f},
                         MinMarker::kHidden);
}

std::unique_ptr<TGxThermometer> MakeVS_TANS(QWidget* parent) {
  return MakeThermometer(parent, QRect(448, 0, 96, 177),
                         {.name1 = "Температура",
                          .name2 = "воздуха на впуске",
                          .unit = UnitOf(session::Gauge::VS_TANS),
                          .value_from = -30.0f,
                          .value_to = 70.0f,
                          .format = "##0.0",
                          .digit = 300,
                          .value = 5.96046447754e-07f},
                         MinMarker::kShown);
}

std::unique_ptr<TGxVMeter> MakeVS_THR(QWidget* parent) {
  using O = TGxVMeterOption;
  return MakeVertical(parent, QRect(240, 184, 81, 193),
                      {.name1 = "Положение",
                       .name2 = "дросселя",
                       .unit = UnitOf(session::Gauge::VS_THR),
                       .value_to = 100.0f,
                       .format = "##0.0"},
                      {.options = {O::opBevelOuter, O::opValue, O::opName1, O::opName2,
                                   O::opOverflow, O::opLimit, O::opUnit},
                       .sector1_green = true,
                       .steps = 5,
                       .sub_steps = 2});
}

std::unique_ptr<TGxVMeter> MakeVS_MRV(QWidget* parent) {
  using O = TGxVMeterOption;
  return MakeVertical(parent, QRect(560, 0, 105, 385),
                      {.name1 = "Давление на",
                       .name2 = "впуске",
                       .unit = UnitOf(session::Gauge::VS_MRV),
                       .value_to = 120.0f,
                       .format = "##0.0"},
                      {.options = {O::opBevelOuter, O::opValue, O::opName1, O::opName2, O::opUnit},
                       .steps = 10,
                       .sub_steps = 4});
}

std::unique_ptr<TGxVMeter> MakeVS_DV(QWidget* parent) {
  using O = TGxVMeterOption;
  return MakeVertical(
      parent, QRect(336, 184, 97, 193),
      {.name1 = "Время",
       .name2 = "впрыска",
       .unit = UnitOf(session::Gauge::VS_DV),
       .value_to = 20.0f,
       .format = "##0.00"},
      {.options = {O::opBevelOuter, O::opValue, O::opName1, O::opName2, O::opOverflow, O::opUnit},
       .steps = 4,
       .sub_steps = 5});
}

}  // namespace m797::ui::form1
