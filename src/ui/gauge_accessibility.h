#pragma once

#include <QString>

namespace m797::gauges {
class TGxAnalogGControl;
}

namespace m797::ui {

// Makes the instruments readable by assistive technology: each reports as its name its two name
// lines (or the accessible name the window gives it, where the name lines are placeholders) and
// as its value the figures it shows with the unit, "Скорость, км/ч" and "88.0 км/ч".
// Installs the factory once; call before the first window is shown.
void InstallGaugeAccessibility();

// The texts the accessibility interface reports.
QString GaugeAccessibleName(const gauges::TGxAnalogGControl& gauge);
QString GaugeAccessibleValue(const gauges::TGxAnalogGControl& gauge);

// Tells assistive technology that the gauge's value changed; cheap when none listens.
void NotifyGaugeValueChanged(gauges::TGxAnalogGControl& gauge);

}  // namespace m797::ui
