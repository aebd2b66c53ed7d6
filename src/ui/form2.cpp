#include "ui/form2.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

#include "ui/control_accessibility.h"
#include "ui/form_fonts.h"
#include "ui/form_texts.h"
#include "ui/picture_box.h"
#include "ui/pictures/pictures.h"
#include "ui/window_placement.h"

namespace m797::ui {

namespace {
// The window's outer size is 785 x 615 with a 4-pixel border and a 30-pixel title bar.
constexpr QSize kClientSize(777, 581);
}  // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Form2");
  InstallControlAccessibility();
  setWindowTitle(texts::Form2Caption());
  setFont(StoredFont("MS Sans Serif", -11));
  ApplyButtonFace(*this);
  resize(kClientSize);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setGeometry(0, 0, 777, 377);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setPlainText(texts::Form2Memo1Lines().join('\n'));
  Memo1->setAccessibleName(texts::TabSheet6Caption());

  Image2 = new PictureBox(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(-8, 373, 785, 169);
  Image2->SetPicture(ProductPhoto());
  Image2->setAccessibleName(texts::PhotoName());
  Image2->setAccessibleDescription(texts::PhotoDescription());

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setGeometry(304, 552, 185, 25);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TForm2::BitBtn1Click() {
  hide();
}

void TForm2::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) CentreOnScreen(*this);
  QWidget::showEvent(event);
}

}  // namespace m797::ui
