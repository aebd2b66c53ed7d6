#pragma once

#include <QStringList>

namespace m797::ui::test {

// The messages the program would have shown in its error box, in order.
QStringList& ShownErrors();

// Makes the error box record its messages in ShownErrors instead of showing them, as it does in
// the windows' tests unless a test replaces it.
void RecordShownErrors();

}  // namespace m797::ui::test
