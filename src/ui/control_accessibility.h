#pragma once

class QWidget;

namespace m797::ui {

// How the window's plain widgets present themselves to assistive technology where Qt's own
// presentation does not fit: the tool bar strip reports as a tool bar and leaves out the spacers
// that separate its groups, and a picture reports as an image under the accessible name and
// description the window gives it.  Installs the factory once; call before the first window is
// shown.
void InstallControlAccessibility();

// Marks a plain widget as a tool bar, and a child of it as a separator that assistive technology
// does not see.  Mark before the widget is first shown.
void MarkAsToolBar(QWidget& bar);
void MarkAsToolBarSeparator(QWidget& separator);

}  // namespace m797::ui
