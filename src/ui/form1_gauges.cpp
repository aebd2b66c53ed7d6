#include "ui/form1_gauges.h"

#include <cmath>
#include <limits>

namespace m797::ui::form1 {

using namespace gauges;

namespace {

struct DialSettings {
  QRect geometry;
  const char* name1;
  const char* name2;
  const char* unit;
  float value_from;
  float value_to;
  int digit;
  float value;  // NaN: not stored
  float limit_upper;
  float limit_lower;
  int sector1_to;
  int sector2_from;
  int sector2_to;
  int sector3_from;
  bool sectors_stored;
  int steps;
  int sub_steps;
  int unit_font_height;
  bool unit_font_bold;
};

// Applies the stored properties of a round meter in published order and completes loading.
void LoadDial(TGxRMeter& m, const DialSettings& d) {
  m.setGeometry(d.geometry);
  m.SetDigit(d.digit);
  m.SetLimitUpper(d.limit_upper);
  m.SetLimitLower(d.limit_lower);
  TSectorSettings& sectors = *m.SectorSettings();
  if (d.sectors_stored) {
    sectors.SetSector1Color(clGreen);
    sectors.SetSector1To(d.sector1_to);
    sectors.SetSector2Color(clYellow);
    sectors.SetSector2From(d.sector2_from);
    sectors.SetSector2To(d.sector2_to);
    sectors.SetSector3From(d.sector3_from);
  }
  sectors.SetOffset(0);
  sectors.SetWidthOffset(0);
  TSignalSettings& signal = *m.SignalSettings();
  signal.SetName1(QString::fromUtf8(d.name1));
  signal.SetName2(QString::fromUtf8(d.name2));
  signal.SetValueUnit(QString::fromUtf8(d.unit));
  if (d.value_from != 0.0f) signal.SetValueFrom(d.value_from);
  signal.SetValueTo(d.value_to);
  signal.SetValueFormat("##0.0");
  m.MinMax()->SetMinVisible(false);
  if (!std::isnan(d.value)) m.SetValue(d.value);

  m.Font()->SetName("Arial");
  m.Font()->SetHeight(-11);
  m.Font()->SetColor(clWindowText);
  m.SetAutoSize(false);
  m.FontUnit()->SetName("System");
  m.FontUnit()->SetColor(clBlack);
  m.FontUnit()->SetHeight(d.unit_font_height);
  m.FontUnit()->SetBold(d.unit_font_bold);
  m.BevelInner()->SetStyle(TBevelStyle::bsLowered);
  m.BevelInner()->SetBevelLine(TBevelLine::blInner);
  m.BevelInner()->SetSpacing(0);
  m.BevelOuter()->SetStyle(TBevelStyle::bsRaised);
  m.BevelOuter()->SetSpacing(0);
  m.BevelOuter()->SetBevelLine(TBevelLine::blNone);
  m.SetOptions({TRMeterOption::opBevelOuter, TRMeterOption::opName1, TRMeterOption::opName2,
                TRMeterOption::opOverflow, TRMeterOption::opLimit, TRMeterOption::opSector});
  TScaleSettings& scale = *m.ScaleSettings();
  scale.SetColor(clBlack);
  scale.SetPointerColor(clLime);
  scale.SetDrawLine(true);
  scale.Font()->SetName("Arial");
  scale.Font()->SetHeight(-19);
  scale.Font()->SetColor(clWindowText);
  scale.SetPosLeftTop(false);
  scale.SetSteps(d.steps);
  scale.SetSubSteps(d.sub_steps);
  scale.SetValueFormat("##0");
  scale.SetValueFormatLog("0e-0");
  m.Loaded();
}

constexpr float kNotStored = std::numeric_limits<float>::quiet_NaN();

}  // namespace

std::unique_ptr<TGx180Meter> MakeVS_Speed(QWidget* parent) {
  auto m = std::make_unique<TGx180Meter>(parent);
  LoadDial(*m, {QRect(8, 32, 209, 145), "Скорость,", "км/ч", "км/ч", 0.0f, 250.0f, 0, kNotStored,
                180.0f, -1.0f, 440, 440, 720, 720, true, 5, 2, -11, true});
  return m;
}

std::unique_ptr<TGx180Meter> MakeVS_Nmot(QWidget* parent) {
  auto m = std::make_unique<TGx180Meter>(parent);
  LoadDial(*m, {QRect(240, 32, 193, 145), "Обороты КВ,", "*100 об/мин", "%", 0.0f, 70.0f, 0,
                kNotStored, 50.0f, -1.0f, 571, 572, 857, 858, true, 7, 5, -13, false});
  return m;
}

std::unique_ptr<TGx120Meter> MakeVS_Ub(QWidget* parent) {
  auto m = std::make_unique<TGx120Meter>(parent);
  LoadDial(*m, {QRect(8, 208, 209, 169), "Напряжение бортовой сети,", "В", "%", 6.0f, 18.0f, 500,
                12.0f, 15.0f, 9.0f, 0, 0, 0, 0, false, 5, 2, -13, false});
  return m;
}

namespace {

struct SignalStored {
  const char* name1;
  const char* name2;
  const char* unit;
  float value_from;  // 0: not stored
  float value_to;
  const char* format;
  int digit;
  float value;  // NaN: not stored
};

void LoadSignal(TGxAnalogGControl& g, const SignalStored& d) {
  g.SetDigit(d.digit);
  TSignalSettings& signal = *g.SignalSettings();
  signal.SetName1(QString::fromUtf8(d.name1));
  signal.SetName2(QString::fromUtf8(d.name2));
  signal.SetValueUnit(QString::fromUtf8(d.unit));
  if (d.value_from != 0.0f) signal.SetValueFrom(d.value_from);
  signal.SetValueTo(d.value_to);
  signal.SetValueFormat(QString::fromUtf8(d.format));
}

void LoadValue(TGxAnalogGControl& g, float value) {
  if (!std::isnan(value)) g.SetValue(value);
}

void LoadCaptionFont(TGxAnalogGControl& g) {
  g.Font()->SetName("Arial");
  g.Font()->SetHeight(-11);
  g.Font()->SetColor(clWindowText);
}

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

std::unique_ptr<TGxValueInd> MakeIndicator(QWidget* parent, QRect geometry,
                                           const SignalStored& signal) {
  auto g = std::make_unique<TGxValueInd>(parent);
  g->setGeometry(geometry);
  LoadSignal(*g, signal);
  g->SetLimitUpper(90.0f);
  g->SetLimitLower(10.0f);
  LoadValue(*g, signal.value);
  LoadCaptionFont(*g);
  g->SetAutoSize(true);
  LoadValueFont(*g->FontValue(), clLime);
  g->BevelInner()->SetStyle(TBevelStyle::bsLowered);
  g->BevelInner()->SetBevelLine(TBevelLine::blInner);
  g->BevelOuter()->SetStyle(TBevelStyle::bsRaised);
  g->BevelOuter()->SetBevelLine(TBevelLine::blOuter);
  LoadValueBevel(*g->BevelValue());
  g->BevelValue()->SetColor(clBlack);
  g->SetOptions({TValueIndOption::opUnit});
  g->Loaded();
  return g;
}

std::unique_ptr<TGxThermometer> MakeThermometer(QWidget* parent, QRect geometry,
                                                const SignalStored& signal, bool min_visible) {
  auto g = std::make_unique<TGxThermometer>(parent);
  g->setGeometry(geometry);
  LoadSignal(*g, signal);
  g->SetLimitUpper(90.0f);
  g->SetLimitLower(10.0f);
  g->SectorSettings()->SetOffset(0);
  g->SectorSettings()->SetWidthOffset(0);
  g->MinMax()->SetMinVisible(min_visible);
  LoadValue(*g, signal.value);
  LoadCaptionFont(*g);
  g->SetAutoSize(false);
  LoadValueFont(*g->FontValue(), clBlue);
  g->BevelInner()->SetStyle(TBevelStyle::bsLowered);
  g->BevelInner()->SetBevelLine(TBevelLine::blInner);
  g->BevelOuter()->SetStyle(TBevelStyle::bsRaised);
  g->BevelOuter()->SetBevelLine(TBevelLine::blOuter);
  LoadValueBevel(*g->BevelValue());
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

std::unique_ptr<TGxVMeter> MakeVertical(QWidget* parent, QRect geometry, const SignalStored& signal,
                                        TGxVMeterOptions options, bool green_sector1, int steps,
                                        int sub_steps) {
  auto g = std::make_unique<TGxVMeter>(parent);
  g->setGeometry(geometry);
  LoadSignal(*g, signal);
  g->SetLimitUpper(90.0f);
  g->SetLimitLower(-1.0f);
  if (green_sector1) g->SectorSettings()->SetSector1Color(clGreen);
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
  g->SetOptions(options);
  LoadStraightScale(*g->ScaleSettings(), steps, sub_steps, true, -19);
  g->Loaded();
  return g;
}

}  // namespace

std::unique_ptr<TGxValueInd> MakeVI_Speed(QWidget* parent) {
  return MakeIndicator(parent, QRect(80, 8, 72, 20),
                       {"SignalName1", "SignalName2", "км/ч", 0.0f, 250.0f, "##0", 0, kNotStored});
}

std::unique_ptr<TGxValueInd> MakeVI_Nmot(QWidget* parent) {
  return MakeIndicator(
      parent, QRect(264, 8, 105, 20),
      {"SignalName1", "SignalName2", "об/мин", 0.0f, 10000.0f, "####0", 0, kNotStored});
}

std::unique_ptr<TGxValueInd> MakeVI_Ub(QWidget* parent) {
  return MakeIndicator(parent, QRect(72, 184, 66, 20),
                       {"SignalName1", "SignalName2", "В", 0.0f, 100.0f, "##0.0", 120, 12.0f});
}

std::unique_ptr<TGxThermometer> MakeVS_TOG(QWidget* parent) {
  return MakeThermometer(parent, QRect(448, 184, 105, 201),
                         {"Температура", "охлаж. жид.", "°C", -40.0f, 160.0f, "##0.0", 100, -20.0f},
                         false);
}

std::unique_ptr<TGxThermometer> MakeVS_TANS(QWidget* parent) {
  return MakeThermometer(
      parent, QRect(448, 0, 96, 177),
      {"Температура", "воздуха на впуске", "°C", -30.0f, 70.0f, "##0.0", 300, 5.96046447754e-07f},
      true);
}

std::unique_ptr<TGxVMeter> MakeVS_THR(QWidget* parent) {
  using O = TGxVMeterOption;
  return MakeVertical(
      parent, QRect(240, 184, 81, 193),
      {"Положение", "дросселя", "%", 0.0f, 100.0f, "##0.0", 0, kNotStored},
      {O::opBevelOuter, O::opValue, O::opName1, O::opName2, O::opOverflow, O::opLimit, O::opUnit},
      true, 5, 2);
}

std::unique_ptr<TGxVMeter> MakeVS_MRV(QWidget* parent) {
  using O = TGxVMeterOption;
  return MakeVertical(parent, QRect(560, 0, 105, 385),
                      {"Давление на", "впуске", "кПа", 0.0f, 120.0f, "##0.0", 0, kNotStored},
                      {O::opBevelOuter, O::opValue, O::opName1, O::opName2, O::opUnit}, false, 10,
                      4);
}

std::unique_ptr<TGxVMeter> MakeVS_DV(QWidget* parent) {
  using O = TGxVMeterOption;
  return MakeVertical(
      parent, QRect(336, 184, 97, 193),
      {"Время", "впрыска", "мс", 0.0f, 20.0f, "##0.00", 0, kNotStored},
      {O::opBevelOuter, O::opValue, O::opName1, O::opName2, O::opOverflow, O::opUnit}, false, 4, 5);
}

}  // namespace m797::ui::form1
