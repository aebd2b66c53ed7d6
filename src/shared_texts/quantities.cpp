#include "shared_texts/quantities.h"

namespace m797::shared_texts {

namespace {

using session::Gauge;

// Engine speed and battery voltage come from the numeric readouts: the engine-speed dial shows
// hundreds of rpm taken to whole units, the readout the rpm themselves.
constexpr std::array<Quantity, kQuantityCount> kQuantities = {{
    {Gauge::VI_Speed, "speed [km/h]", "Скорость", "км/ч", 0},
    {Gauge::VI_Nmot, "engine speed [rpm]", "Обороты КВ", "об/мин", 0},
    {Gauge::VS_TOG, "coolant temperature [°C]", "Температура охлаж. жид.", "°C", 0},
    {Gauge::VS_TANS, "intake air temperature [°C]", "Температура воздуха на впуске", "°C", 0},
    {Gauge::VI_Ub, "battery voltage [V]", "Напряжение бортовой сети", "В", 1},
    {Gauge::VS_THR, "throttle position [%]", "Положение дросселя", "%", 1},
    {Gauge::VS_MRV, "manifold pressure [kPa]", "Давление на впуске", "кПа", 1},
    {Gauge::VS_DV, "injection time [ms]", "Время впрыска", "мс", 2},
}};

}  // namespace

std::span<const Quantity, kQuantityCount> Quantities() {
  return kQuantities;
}

int QuantityIndex(session::Gauge gauge) {
  for (int i = 0; i < kQuantityCount; ++i)
    if (kQuantities[i].gauge == gauge) return i;
  return -1;
}

const Quantity* FindQuantity(session::Gauge gauge) {
  const int index = QuantityIndex(gauge);
  return index >= 0 ? &kQuantities[index] : nullptr;
}

}  // namespace m797::shared_texts
