#include "ui/gauge_accessibility.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "gauges/analog_control.h"
#include "gauges/round_meter.h"
#include "gauges/thermometer.h"
#include "gauges/value_format.h"
#include "gauges/value_indicator.h"
#include "gauges/vertical_meter.h"

namespace m797::ui {

namespace {

using gauges::TGxAnalogGControl;

// The figures last announced, kept on the gauge so that they live exactly as long as it does.
constexpr char kAnnouncedProperty[] = "m797AnnouncedValueText";

// The number the gauge's figures show, so that a reader that formats the value with the step's
// decimals says what the window draws.
double ShownNumber(const TGxAnalogGControl& gauge) {
  bool ok = false;
  const double shown = QLocale::c().toDouble(gauge.ValueText(), &ok);
  return ok ? shown : static_cast<double>(gauge.Value());
}

QString DrawnUnit(const TGxAnalogGControl& gauge);
QString BaseName(const TGxAnalogGControl& gauge);

// The gauge's text: its name and the figures it shows, "Скорость, км/ч 88.0", padded with blanks
// to the length of its longest figures.  A screen reader's review of the window reads objects by
// their text, and keeps the offsets it read the first time: a fixed length keeps later figures
// from being cut off.
QString GaugeText(const TGxAnalogGControl& gauge) {
  const auto& signal = *gauge.SignalSettings();
  const qsizetype longest =
      std::max(gauges::FormatValue(signal.ValueFormat(), signal.ValueFrom()).size(),
               gauges::FormatValue(signal.ValueFormat(), signal.ValueTo()).size());
  const QString unit = DrawnUnit(gauge);
  const QString name = BaseName(gauge);
  const QString text = name + ' ' + GaugeAccessibleValue(gauge);
  return text.leftJustified(name.size() + 1 + longest + (unit.isEmpty() ? 0 : 1 + unit.size()));
}

class GaugeAccessible final : public QAccessibleWidget,
                              public QAccessibleValueInterface,
                              public QAccessibleTextInterface {
 public:
  explicit GaugeAccessible(TGxAnalogGControl* gauge)
      : QAccessibleWidget(gauge, QAccessible::Slider) {}

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return GaugeAccessibleName(*gauge());
      case QAccessible::Value:
      case QAccessible::Description:
        return GaugeAccessibleValue(*gauge());
      default:
        return QAccessibleWidget::text(t);
    }
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }

  // Only the diagnostic session moves a gauge: it offers no actions of its own.
  QStringList actionNames() const override { return {}; }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // The value is read-only: a request to set it changes nothing.
  void setCurrentValue(const QVariant&) override {}
  QVariant currentValue() const override { return ShownNumber(*gauge()); }
  QVariant maximumValue() const override { return gauge()->SignalSettings()->ValueTo(); }
  QVariant minimumValue() const override { return gauge()->SignalSettings()->ValueFrom(); }
  QVariant minimumStepSize() const override { return GaugeValueStep(*gauge()); }

  // Read-only text without caret or selection; every character lies on the whole gauge.
  QString text(int start, int end) const override {
    const QString all = GaugeText(*gauge());
    if (end < 0 || end > all.size()) end = static_cast<int>(all.size());
    return all.mid(start, std::max(0, end - start));
  }
  int characterCount() const override { return static_cast<int>(GaugeText(*gauge()).size()); }
  QRect characterRect(int) const override { return rect(); }
  int offsetAtPoint(const QPoint& point) const override { return rect().contains(point) ? 0 : -1; }
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

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

QString DrawnUnit(const TGxAnalogGControl& gauge) {
  return DrawsUnit(gauge) ? gauge.SignalSettings()->ValueUnit() : QString();
}

// The name lines, or the accessible name the window gives the gauge.
QString BaseName(const TGxAnalogGControl& gauge) {
  if (!gauge.accessibleName().isEmpty()) return gauge.accessibleName();
  const auto& signal = *gauge.SignalSettings();
  return (signal.Name1() + ' ' + signal.Name2()).trimmed();
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
  const QString name = BaseName(gauge);
  const QString unit = DrawnUnit(gauge);
  if (unit.isEmpty() || name.endsWith(unit)) return name;
  return name + ", " + unit;
}

QString GaugeAccessibleValue(const TGxAnalogGControl& gauge) {
  const QString unit = DrawnUnit(gauge);
  if (unit.isEmpty()) return gauge.ValueText();
  return gauge.ValueText() + ' ' + unit;
}

double GaugeValueStep(const TGxAnalogGControl& gauge) {
  const QString& format = gauge.SignalSettings()->ValueFormat();
  int decimals = 0;
  const qsizetype point = format.indexOf('.');
  if (point >= 0) {
    for (qsizetype i = point + 1; i < format.size() && (format[i] == '0' || format[i] == '#'); ++i)
      ++decimals;
  }
  return std::pow(10.0, -decimals);
}

void NotifyGaugeValueChanged(TGxAnalogGControl& gauge) {
  if (gauge.property(kAnnouncedProperty).toString() == gauge.ValueText()) return;
  gauge.setProperty(kAnnouncedProperty, gauge.ValueText());
  if (!QAccessible::isActive()) return;
  QAccessibleValueChangeEvent value(&gauge, ShownNumber(gauge));
  QAccessible::updateAccessibility(&value);
  // Readers cache the description; this tells them to read it again.
  QAccessibleEvent description(&gauge, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&description);
}

}  // namespace m797::ui
