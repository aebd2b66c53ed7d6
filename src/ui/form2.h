#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace m797::ui {

class PictureBox;

// The about window: a short description of the maker's trip computer, its photo and an OK
// button that hides the window.  Created hidden with the main window; shown without blocking.
class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  void BitBtn1Click();

  QPlainTextEdit* Memo1 = nullptr;
  PictureBox* Image2 = nullptr;
  QPushButton* BitBtn1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace m797::ui
