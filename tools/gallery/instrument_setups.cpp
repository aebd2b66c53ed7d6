#include "instrument_setups.h"

#include <cmath>
#include <limits>

namespace m797::gauges::setups {

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

}  // namespace m797::gauges::setups
