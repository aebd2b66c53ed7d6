#pragma once

class QWidget;

namespace m797::ui {

// Moves a top-level window so that its frame is centred on the available area of its screen.
void CentreOnScreen(QWidget& window);

// Gives a window the button-face background of the classic desktop scheme, the colour the
// instruments take for clBtnFace, so that they sit on their window without a seam.
void ApplyButtonFace(QWidget& window);

}  // namespace m797::ui
