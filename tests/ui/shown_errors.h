#pragma once

#include <QStringList>

namespace m797::ui::test {

// The messages the program would have shown in its error box, in order.
QStringList& ShownErrors();

}  // namespace m797::ui::test
