#pragma once

#include <memory>

#include "gauges/round_meter.h"
#include "gauges/thermometer.h"
#include "gauges/value_indicator.h"
#include "gauges/vertical_meter.h"

class QWidget;

namespace m797::ui::form1 {

using gauges::TGx120Meter;
using gauges::TGx180Meter;
using gauges::TGxThermometer;
using gauges::TGxValueInd;
using gauges::TGxVMeter;

// The eleven instruments of the main window's parameters page as the window stores them:
// constructed, the stored properties applied in published order, loading completed.  The window
// places them; the gallery, the gauge tests and the benchmark draw the very same configurations.
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

}  // namespace m797::ui::form1
