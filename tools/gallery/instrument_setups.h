#pragma once

#include <memory>

#include "gauges/round_meter.h"
#include "gauges/thermometer.h"
#include "gauges/value_indicator.h"
#include "gauges/vertical_meter.h"

class QWidget;

namespace m797::gauges::setups {

// The instruments as the main window stores them: constructed, stored properties applied in
// published order, loading completed.  Tests, the benchmark and the gallery share them.
std::unique_ptr<TGx180Meter> MakeVS_Speed(QWidget* parent = nullptr);
std::unique_ptr<TGx180Meter> MakeVS_Nmot(QWidget* parent = nullptr);
std::unique_ptr<TGx120Meter> MakeVS_Ub(QWidget* parent = nullptr);

std::unique_ptr<TGxValueInd> MakeVI_Speed(QWidget* parent = nullptr);
std::unique_ptr<TGxValueInd> MakeVI_Nmot(QWidget* parent = nullptr);
std::unique_ptr<TGxValueInd> MakeVI_Ub(QWidget* parent = nullptr);

std::unique_ptr<TGxThermometer> MakeVS_TOG(QWidget* parent = nullptr);
std::unique_ptr<TGxThermometer> MakeVS_TANS(QWidget* parent = nullptr);

std::unique_ptr<TGxVMeter> MakeVS_THR(QWidget* parent = nullptr);
std::unique_ptr<TGxVMeter> MakeVS_MRV(QWidget* parent = nullptr);
std::unique_ptr<TGxVMeter> MakeVS_DV(QWidget* parent = nullptr);

}  // namespace m797::gauges::setups
