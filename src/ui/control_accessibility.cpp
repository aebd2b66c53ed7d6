#include "ui/control_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "ui/picture_box.h"

namespace m797::ui {

namespace {

constexpr char kToolBarProperty[] = "m797ToolBar";
constexpr char kSeparatorProperty[] = "m797ToolBarSeparator";

// A tool bar whose separators are spacing only: a screen reader walking it meets the controls
// and their labels, not empty frames between them.
class ToolBarAccessible final : public QAccessibleWidget {
 public:
  explicit ToolBarAccessible(QWidget* bar) : QAccessibleWidget(bar, QAccessible::ToolBar) {}

  int childCount() const override { return static_cast<int>(Controls().size()); }

  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> controls = Controls();
    if (index < 0 || index >= controls.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(controls[index]);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    return static_cast<int>(Controls().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  QList<QWidget*> Controls() const {
    QList<QWidget*> controls;
    for (QObject* object : widget()->children()) {
      auto* control = qobject_cast<QWidget*>(object);
      if (control && !control->isWindow() && !control->property(kSeparatorProperty).toBool())
        controls << control;
    }
    return controls;
  }
};

QAccessibleInterface* ControlFactory(const QString&, QObject* object) {
  if (auto* picture = qobject_cast<PictureBox*>(object))
    return new QAccessibleWidget(picture, QAccessible::Graphic);
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget && widget->property(kToolBarProperty).toBool()) return new ToolBarAccessible(widget);
  return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(ControlFactory);
    return true;
  }();
  (void)installed;
}

void MarkAsToolBar(QWidget& bar) {
  bar.setProperty(kToolBarProperty, true);
}

void MarkAsToolBarSeparator(QWidget& separator) {
  separator.setProperty(kSeparatorProperty, true);
}

}  // namespace m797::ui
