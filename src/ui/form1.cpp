#include "ui/form1.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>

#include "session/session_controls.h"
#include "session/session_texts.h"
#include "ui/control_accessibility.h"
#include "ui/fitting_label.h"
#include "ui/form1_gauges.h"
#include "ui/form1_session.h"
#include "ui/form_fonts.h"
#include "ui/form_texts.h"
#include "ui/gauge_accessibility.h"
#include "ui/picture_box.h"
#include "ui/pictures/pictures.h"
#include "ui/window_placement.h"

namespace m797::ui {

namespace {

constexpr QSize kClientSize(861, 555);

using texts::U;

// The selectors draw their items at a fixed height of 16 pixels.
class FixedHeightItems final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), 16};
  }
};

template <typename W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
  auto* label = new FittingLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  label->setAlignment(alignment);
  return label;
}

QComboBox* MakeSelector(QWidget* parent, const char* name, QRect geometry,
                        const QStringList& items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(geometry);
  box->setEditable(false);
  box->setItemDelegate(new FixedHeightItems(box));
  box->addItems(items);
  return box;
}

QFrame* MakeSeparator(QWidget* parent, const char* name, int left, int width) {
  auto* separator = new QFrame(parent);
  Place(separator, name, left, 2, width, 22);
  separator->setFrameShape(QFrame::NoFrame);
  MarkAsToolBarSeparator(*separator);
  return separator;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, QRect geometry, bool scroll_bar) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setGeometry(geometry);
  memo->setReadOnly(true);
  memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  memo->setFocusPolicy(Qt::StrongFocus);
  memo->setTabChangesFocus(true);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setVerticalScrollBarPolicy(scroll_bar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  return memo;
}

QPushButton* MakeFlatButton(QWidget* parent, const char* name, const QString& caption,
                            QRect geometry, const QFont& font) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  button->setFlat(true);
  button->setFont(font);
  return button;
}

QStringList PortItems() {
  QStringList items;
  for (int n = 1; n <= session::kPortCount; ++n)
    items << QStringLiteral("COM%1").arg(n);
  return items;
}

}  // namespace

TForm1::TForm1(Creation creation)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  setObjectName("Form1");
  setWindowTitle(U(texts::kForm1Caption));
  setFont(StoredFont("MS Sans Serif", -11));
  ApplyButtonFace(*this);
  setFixedSize(kClientSize);
  InstallGaugeAccessibility();
  InstallControlAccessibility();

  CreateToolBar();
  CreatePages();
  CreatePictures();
  session_ = std::make_unique<Form1Session>(*this);
  ConnectControls();
  if (creation == Creation::kRunFormCreate)
    RunSessionHandler(&session::DiagnosticSession::FormCreate);
}

TForm1::~TForm1() = default;

void TForm1::CreateToolBar() {
  ToolBar1 = Place(new QWidget(this), "ToolBar1", 0, 0, kClientSize.width(), 25);
  MarkAsToolBar(*ToolBar1);
  ToolButton1 =
      Place(new QPushButton(U(session::kStartCaption), ToolBar1), "ToolButton1", 0, 2, 177, 22);
  ToolButton2 = MakeSeparator(ToolBar1, "ToolButton2", 177, 16);
  Label13 = MakeLabel(ToolBar1, "Label13", U(texts::kLabel13), QRect(193, 2, 96, 22));
  ComboBox1 = MakeSelector(ToolBar1, "ComboBox1", QRect(289, 2, 105, 22), PortItems());
  ComboBox1->setCurrentIndex(-1);
  ToolButton3 = MakeSeparator(ToolBar1, "ToolButton3", 394, 15);
  Label14 = MakeLabel(ToolBar1, "Label14", U(texts::kLabel14), QRect(409, 2, 127, 22));
  ComboBox2 =
      MakeSelector(ToolBar1, "ComboBox2", QRect(536, 2, 97, 22), {"Type 1", "Type 2", "Type 3"});
  ComboBox2->setCurrentIndex(0);
  const Qt::Alignment centred = Qt::AlignLeft | Qt::AlignVCenter;
  Label11 = MakeLabel(ToolBar1, "Label11", U(texts::kLabel11), QRect(633, 2, 131, 22), centred);
  Label10 =
      MakeLabel(ToolBar1, "Label10", U(session::kLinkDownCaption), QRect(764, 2, 86, 22), centred);
  PlaceLabel10();
  // Each selector is named by the label before it (on Linux a combo box's accessible name is its
  // current item; the label relation says what it is for).
  Label13->setBuddy(ComboBox1);
  Label14->setBuddy(ComboBox2);
}

void TForm1::CreatePages() {
  PageControl1 = Place(new QTabWidget(this), "PageControl1", 0, 25, 689, 417);
  const auto add_page = [this](const char* name, const QString& caption) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    PageControl1->addTab(page, caption);
    return page;
  };
  TabSheet1 = add_page("TabSheet1", U(texts::kTabSheet1));
  TabSheet2 = add_page("TabSheet2", U(texts::kTabSheet2));
  TabSheet6 = add_page("TabSheet6", texts::TabSheet6Caption());
  TabSheet5 = add_page("TabSheet5", U(texts::kTabSheet5));
  PageControl1->setCurrentIndex(0);
  CreateGauges();
  CreateErrorsPage();
  CreateDescriptionPage();
  CreateAboutPage();
}

void TForm1::CreateGauges() {
  // Creation order is the stored order; each gauge is complete (loaded) when it is placed.
  VS_Speed = form1::MakeVS_Speed(TabSheet1).release();
  VS_Nmot = form1::MakeVS_Nmot(TabSheet1).release();
  VI_Speed = form1::MakeVI_Speed(TabSheet1).release();
  VI_Nmot = form1::MakeVI_Nmot(TabSheet1).release();
  VS_TOG = form1::MakeVS_TOG(TabSheet1).release();
  VS_Ub = form1::MakeVS_Ub(TabSheet1).release();
  VS_TANS = form1::MakeVS_TANS(TabSheet1).release();
  VS_THR = form1::MakeVS_THR(TabSheet1).release();
  VS_MRV = form1::MakeVS_MRV(TabSheet1).release();
  VI_Ub = form1::MakeVI_Ub(TabSheet1).release();
  VS_DV = form1::MakeVS_DV(TabSheet1).release();
  // The readouts keep placeholder name lines, which they do not draw; assistive technology gets
  // the quantity instead.
  VI_Speed->setAccessibleName(U("Скорость"));
  VI_Nmot->setAccessibleName(U("Обороты КВ"));
  VI_Ub->setAccessibleName(U("Напряжение бортовой сети"));
  for (int g = 0; g < session::kGaugeCount; ++g) {
    GaugeOf(static_cast<session::Gauge>(g)).SetOnValueChange([](gauges::TGxAnalogGControl* sender) {
      NotifyGaugeValueChanged(*sender);
    });
  }
  const std::pair<QWidget*, const char*> names[] = {
      {VS_Speed, "VS_Speed"}, {VS_Nmot, "VS_Nmot"}, {VI_Speed, "VI_Speed"}, {VI_Nmot, "VI_Nmot"},
      {VS_TOG, "VS_TOG"},     {VS_Ub, "VS_Ub"},     {VS_TANS, "VS_TANS"},   {VS_THR, "VS_THR"},
      {VS_MRV, "VS_MRV"},     {VI_Ub, "VI_Ub"},     {VS_DV, "VS_DV"}};
  for (const auto& [widget, name] : names)
    widget->setObjectName(QString::fromLatin1(name));
}

void TForm1::CreateErrorsPage() {
  Label1 = MakeLabel(TabSheet2, "Label1", U(texts::kLabel1), QRect(0, 0, 681, 17));
  Memo1 = MakeMemo(TabSheet2, "Memo1", QRect(0, 17, 681, 152), false);
  Label2 = MakeLabel(TabSheet2, "Label2", U(texts::kLabel2), QRect(0, 169, 681, 13));
  Memo2 = MakeMemo(TabSheet2, "Memo2", QRect(0, 182, 681, 147), false);
  Button2 = Place(new QPushButton(U(texts::kButton2), TabSheet2), "Button2", 8, 344, 129, 25);
  Label1->setBuddy(Memo1);
  Label2->setBuddy(Memo2);
  QWidget::setTabOrder(Memo1, Button2);
  QWidget::setTabOrder(Button2, Memo2);
}

void TForm1::CreateDescriptionPage() {
  Memo4 = MakeMemo(TabSheet6, "Memo4", QRect(0, 0, 681, 393), true);
  Memo4->setFont(StoredFont("MS Sans Serif", -16, true));
  Memo4->setPlainText(texts::Memo4Lines().join('\n'));
  Memo4->setAccessibleName(texts::TabSheet6Caption());
}

void TForm1::CreateAboutPage() {
  Memo3 = MakeMemo(TabSheet5, "Memo3", QRect(0, 0, 681, 113), false);
  Memo3->setPlainText(texts::Memo3Lines().join('\n'));
  Memo3->setAccessibleName(U(texts::kTabSheet5));
  SpeedButton4 = MakeFlatButton(TabSheet5, "SpeedButton4", texts::SpeedButton4Caption(),
                                QRect(72, 128, 553, 33), StoredFont("MS Sans Serif", -16, true));
  SpeedButton5 =
      MakeFlatButton(TabSheet5, "SpeedButton5", texts::SpeedButton5Caption(),
                     QRect(72, 168, 553, 41), StoredFont("MS Sans Serif", -16, true, true));
}

void TForm1::CreatePictures() {
  Label3 = MakeLabel(this, "Label3", texts::Label3Text(), QRect(704, 32, 157, 40));
  Label3->setFont(StoredFont("MS Sans Serif", -16, true));
  QPalette blue = Label3->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  Label3->setPalette(blue);

  Image2 = Place(new PictureBox(this), "Image2", 688, 80, 169, 121);
  Image2->SetPicture(ProductPhoto());
  Image2->setAccessibleName(texts::PhotoName());
  Image2->setAccessibleDescription(texts::PhotoDescription());

  Image1 = Place(new PictureBox(this), "Image1", 0, 442, kClientSize.width(), 113);
  Image1->SetPicture(Banner(), true);
  Image1->setAccessibleName(texts::BannerName());
  Image1->setAccessibleDescription(texts::BannerDescription());
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  N1 = PopupMenu1->addAction(texts::N1Caption());
  N1->setObjectName("N1");
  SiteItem1 = PopupMenu1->addAction(texts::SiteItem1Caption());
  SiteItem1->setObjectName("SiteItem1");
  Image1->setContextMenuPolicy(Qt::CustomContextMenu);
}

}  // namespace m797::ui
