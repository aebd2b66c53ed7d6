#pragma once

#include <memory>

#include "gauges/round_meter.h"

class QWidget;

namespace m797::gauges::setups {

// The round meters as the main window stores them: constructed, stored properties applied in
// published order, loading completed.  Tests, the benchmark and the gallery share them.
std::unique_ptr<TGx180Meter> MakeVS_Speed(QWidget* parent = nullptr);
std::unique_ptr<TGx180Meter> MakeVS_Nmot(QWidget* parent = nullptr);
std::unique_ptr<TGx120Meter> MakeVS_Ub(QWidget* parent = nullptr);

}  // namespace m797::gauges::setups
