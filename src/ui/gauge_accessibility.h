#pragma once

#include <QString>

namespace m797::gauges {
class TGxAnalogGControl;
}

namespace m797::ui {

// Makes the instruments readable by assistive technology.  Each is a read-only slider (the role
// screen readers speak with its value) whose name is its two name lines, or the accessible name
// the window gives it where the name lines are placeholders, followed by the unit where the
// instrument draws one ("Температура охлаж. жид., °C").  Its value is the number it shows, to the
// decimals it shows; its description the figures it draws with their unit ("88.0 км/ч"); its text
// both, "Скорость, км/ч 88.0", which is what a screen reader's review of the window reads.
// Installs the factory once; call before the first window is shown.
void InstallGaugeAccessibility();

// The texts the accessibility interface reports.
QString GaugeAccessibleName(const gauges::TGxAnalogGControl& gauge);
QString GaugeAccessibleValue(const gauges::TGxAnalogGControl& gauge);
// The smallest change the gauge's figures can show: 0.1 for "##0.0", 1 for "##0".
double GaugeValueStep(const gauges::TGxAnalogGControl& gauge);

// Tells assistive technology that the figures the gauge shows changed, as a value change and a
// description change; a new value that shows the same figures tells nothing.  Cheap when no
// assistive technology listens.
void NotifyGaugeValueChanged(gauges::TGxAnalogGControl& gauge);

}  // namespace m797::ui
