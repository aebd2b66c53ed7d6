#include "ui/gauge_accessibility.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include "gauges/analog_control.h"
#include "gauges/round_meter.h"
#include "gauges/thermometer.h"
#include "gauges/value_indicator.h"
#include "gauges/vertical_meter.h"

namespace m797::ui {

namespace {

using gauges::TGxAnalogGControl;

class GaugeAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit GaugeAccessible(TGxAnalogGControl* gauge)
      : QAccessibleWidget(gauge, QAccessible::Indicator) {}

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return GaugeAccessibleName(*gauge());
      case QAccessible::Value:
        return GaugeAccessibleValue(*gauge());
      case QAccessible::Description:
        return GaugeAccessibleName(*gauge()) + ' ' + GaugeAccessibleValue(*gauge());
      default:
        return QAccessibleWidget::text(t);
    }
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // The value is read-only: only the diagnostic session writes it.
  void setCurrentValue(const QVariant&) override {}
  QVariant currentValue() const override { return gauge()->Value(); }
  QVariant maximumValue() const override { return gauge()->SignalSettings()->ValueTo(); }
  QVariant minimumValue() const override { return gauge()->SignalSettings()->ValueFrom(); }
  QVariant minimumStepSize() const override { return 0.0; }

 private:
  TGxAnalogGControl* gauge() const { return static_cast<TGxAnalogGControl*>(widget()); }
};

// Whether the instrument draws its unit; where it does not, the unit is part of its name lines or
// not meant to be read (a stored "%" on a dial that shows hundreds of rpm).
bool DrawsUnit(const TGxAnalogGControl& gauge) {
  using namespace gauges;
  if (auto* m = qobject_cast<const TGxRMeter*>(&gauge))
    return m->Options().Contains(TRMeterOption::opUnit);
  if (auto* m = qobject_cast<const TGxVMeter*>(&gauge))
    return m->Options().Contains(TGxVMeterOption::opUnit);
  if (auto* m = qobject_cast<const TGxThermometer*>(&gauge))
    return m->Options().Contains(TThMetOption::opUnit);
  if (auto* m = qobject_cast<const TGxValueInd*>(&gauge))
    return m->Options().Contains(TValueIndOption::opUnit);
  return true;
}

QAccessibleInterface* GaugeFactory(const QString&, QObject* object) {
  if (auto* gauge = qobject_cast<TGxAnalogGControl*>(object)) return new GaugeAccessible(gauge);
  return nullptr;
}

}  // namespace

void InstallGaugeAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(GaugeFactory);
    return true;
  }();
  (void)installed;
}

QString GaugeAccessibleName(const TGxAnalogGControl& gauge) {
  if (!gauge.accessibleName().isEmpty()) return gauge.accessibleName();
  const auto& signal = *gauge.SignalSettings();
  return (signal.Name1() + ' ' + signal.Name2()).trimmed();
}

QString GaugeAccessibleValue(const TGxAnalogGControl& gauge) {
  const QString& unit = gauge.SignalSettings()->ValueUnit();
  if (unit.isEmpty() || !DrawsUnit(gauge)) return gauge.ValueText();
  return gauge.ValueText() + ' ' + unit;
}

void NotifyGaugeValueChanged(TGxAnalogGControl& gauge) {
  if (!QAccessible::isActive()) return;
  QAccessibleValueChangeEvent event(&gauge, gauge.Value());
  QAccessible::updateAccessibility(&event);
}

}  // namespace m797::ui
