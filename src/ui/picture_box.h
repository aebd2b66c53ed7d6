#pragma once

#include <QImage>
#include <QWidget>

namespace m797::ui {

// A picture control that shows its picture centred in its area, scaled down with its proportions
// kept when it is larger than the area, never scaled up.  With transparency on, the pixels of
// the colour of the picture's lower-left pixel are not painted, so the parent shows through.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  void SetPicture(const QImage& picture, bool transparent = false);
  const QImage& Picture() const { return picture_; }
  // Where the picture is drawn, in the control's coordinates; empty without a picture.
  QRect PictureRect() const;

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace m797::ui
