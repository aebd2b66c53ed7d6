#pragma once

#include <QLabel>

namespace m797::ui {

// A label whose one-line text, when wider than the label, is drawn condensed to its width instead
// of cut off.  The window's places were measured in one font; another (a different system, a
// different display scale) can be wider, and a text drawn narrower reads better than one that
// runs under the next control.  The text and the font stay as they are for everything else
// (accessibility, size hints); only the drawing narrows.
class FittingLabel : public QLabel {
 public:
  FittingLabel(const QString& text, QWidget* parent);

  // The factor the text is drawn narrower by: 1 when it fits.
  double TextScale() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace m797::ui
