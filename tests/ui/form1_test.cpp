// The main window and the about window as they are created, on the off-screen platform.
#include "ui/form1.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <stdexcept>

#include "gauges/gx_font.h"
#include "gauges/round_meter.h"
#include "gauges/thermometer.h"
#include "gauges/value_indicator.h"
#include "gauges/vertical_meter.h"
#include "session/diagnostic_session.h"
#include "session/poll_requests.h"
#include "session/trouble_codes.h"
#include "shown_errors.h"
#include "ui/exception_box.h"
#include "ui/fitting_label.h"
#include "ui/form2.h"
#include "ui/form_fonts.h"
#include "ui/picture_box.h"
#include "url_recorder.h"

namespace m797::ui {
namespace {

using session::Gauge;
using namespace Qt::Literals::StringLiterals;

QStringList Lines(const QPlainTextEdit* memo) {
  return memo->toPlainText().split('\n');
}

TEST(Form1, StartsAsStoredUntilFormCreate) {
  TForm1 form(TForm1::Creation::kStoredFormOnly);
  EXPECT_EQ(form.Label10->text(), u"Нет связи с ЭБУ"_s);
  EXPECT_EQ(form.ComboBox2->currentText(), "Type 1");
  EXPECT_EQ(form.ComboBox1->currentIndex(), -1);
  EXPECT_EQ(form.ComboBox1->count(), 8);
  EXPECT_EQ(form.ComboBox1->itemText(7), "COM8");
  EXPECT_TRUE(form.Memo1->toPlainText().isEmpty());
  EXPECT_TRUE(form.Memo2->toPlainText().isEmpty());
  EXPECT_EQ(form.PageControl1->currentIndex(), 0);
  const std::pair<Gauge, float> start[] = {
      {Gauge::VS_Speed, 0.0f}, {Gauge::VI_Speed, 0.0f}, {Gauge::VS_Nmot, 0.0f},
      {Gauge::VI_Nmot, 0.0f},  {Gauge::VS_TOG, -20.0f}, {Gauge::VS_TANS, 5.96046447754e-07f},
      {Gauge::VS_Ub, 12.0f},   {Gauge::VI_Ub, 12.0f},   {Gauge::VS_THR, 0.0f},
      {Gauge::VS_MRV, 0.0f},   {Gauge::VS_DV, 0.0f}};
  for (const auto& [gauge, value] : start)
    EXPECT_EQ(form.GaugeOf(gauge).Value(), value) << static_cast<int>(gauge);
  EXPECT_EQ(form.VS_TOG->Digit(), 100);
  EXPECT_EQ(form.VS_Ub->Digit(), 500);

  form.RunSessionHandler(&session::DiagnosticSession::FormCreate);
  EXPECT_EQ(form.VS_TOG->Value(), 0.0f);
  EXPECT_EQ(form.ComboBox1->currentIndex(), 0);  // nothing stored yet: the first port
  EXPECT_EQ(form.VS_Ub->Value(), 12.0f);
}

TEST(Form1, DialsKeepWhatTheyDoNotStore) {
  TForm1 form(TForm1::Creation::kStoredFormOnly);
  // Only the speed and engine-speed dials store a hidden minimum marker; the voltage dial keeps
  // the default, visible.
  EXPECT_FALSE(form.VS_Speed->MinMax()->MinVisible());
  EXPECT_FALSE(form.VS_Nmot->MinMax()->MinVisible());
  EXPECT_TRUE(form.VS_Ub->MinMax()->MinVisible());
  // The speed dial alone stores inner-bevel gradient colours, invisible with the gradient off.
  const auto* speed_grad = form.VS_Speed->BevelInner()->SurfaceGrad();
  EXPECT_EQ(speed_grad->ColorFrom(), gauges::clRed);
  EXPECT_EQ(speed_grad->ColorTo(), gauges::clBlue);
  EXPECT_FALSE(speed_grad->Visible());
  const auto* nmot_grad = form.VS_Nmot->BevelInner()->SurfaceGrad();
  EXPECT_NE(nmot_grad->ColorFrom(), gauges::clRed);
  EXPECT_NE(nmot_grad->ColorTo(), gauges::clBlue);
}

TEST(Form1, FixedSizeWithoutMaximize) {
  TForm1 form;
  EXPECT_EQ(form.size(), QSize(861, 555));
  EXPECT_EQ(form.minimumSize(), QSize(861, 555));
  EXPECT_EQ(form.maximumSize(), QSize(861, 555));
  const Qt::WindowFlags flags = form.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  form.show();
  form.showMaximized();
  QCoreApplication::processEvents();
  EXPECT_EQ(form.size(), QSize(861, 555));
}

TEST(Form1, ControlsSitWhereTheFormStoresThem) {
  TForm1 form;
  EXPECT_EQ(form.ToolBar1->geometry(), QRect(0, 0, 861, 25));
  EXPECT_EQ(form.ToolButton1->geometry(), QRect(0, 2, 177, 22));
  EXPECT_EQ(form.Label13->geometry(), QRect(193, 2, 96, 22));
  EXPECT_EQ(form.ComboBox1->geometry(), QRect(289, 2, 105, 22));
  EXPECT_EQ(form.Label14->geometry(), QRect(409, 2, 127, 22));
  EXPECT_EQ(form.ComboBox2->geometry(), QRect(536, 2, 97, 22));
  EXPECT_EQ(form.Label11->geometry(), QRect(633, 2, 131, 22));
  EXPECT_EQ(form.PageControl1->geometry(), QRect(0, 25, 689, 417));
  EXPECT_EQ(form.Label3->geometry(), QRect(704, 32, 157, 40));
  EXPECT_EQ(form.Image2->geometry(), QRect(688, 80, 169, 121));
  EXPECT_EQ(form.Image1->geometry(), QRect(0, 442, 861, 113));
  EXPECT_EQ(form.VS_MRV->geometry(), QRect(560, 0, 105, 385));
  EXPECT_EQ(form.Memo2->geometry(), QRect(0, 182, 681, 147));
  EXPECT_EQ(form.Button2->geometry(), QRect(8, 344, 129, 25));
  // The eleven gauges fit the page they are on.
  form.show();
  for (int g = 0; g < session::kGaugeCount; ++g) {
    const QRect place = form.GaugeOf(static_cast<Gauge>(g)).geometry();
    EXPECT_TRUE(form.TabSheet1->rect().contains(place)) << g;
  }
}

TEST(Form1, VisibleTextsAreExact) {
  TForm1 form;
  EXPECT_EQ(form.windowTitle(),
            u"Диагностический тестер для контроллеров ЭСУД автомобилей HYUNDAI"_s);
  EXPECT_EQ(form.ToolButton1->text(), u"Начать тестирование"_s);
  EXPECT_EQ(form.Label13->text(), u"Номер COM-порта:"_s);
  EXPECT_EQ(form.Label14->text(), u"Выбор типа контроллера"_s);
  EXPECT_EQ(form.Label11->text(), u"Связь с контроллером:    "_s);
  const QStringList tabs = {u"Параметры"_s, u"Ошибки"_s, u"О БК Тарком-А"_s, u"О программе"_s};
  ASSERT_EQ(form.PageControl1->count(), 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(form.PageControl1->tabText(i), tabs[i]);
  EXPECT_EQ(form.Label1->text(),
            u"Текущее неисправности электронной системы управления двигателем"_s);
  EXPECT_EQ(form.Label2->text(),
            u"Накопленные неисправности электронной системы управления двигателем"_s);
  EXPECT_EQ(form.Button2->text(), u"Сброс ошибок"_s);
  const QStringList memo3 = Lines(form.Memo3);
  ASSERT_EQ(memo3.size(), 8);
  EXPECT_EQ(memo3[0],
            u"Программа для тестирования контроллеров ЭСУД автомобилей Hyundai Accent,Getz."_s);
  EXPECT_EQ(memo3[1], u"Программа работает с обычным К-лайн адаптером"_s);
  EXPECT_TRUE(memo3[2].isEmpty());
  EXPECT_EQ(memo3[3], u"Версия 1.1 beta"_s);
  EXPECT_EQ(memo3[4], u"( Рекомендуемое разрешение экрана 800х600 точек)"_s);
  EXPECT_TRUE(memo3[5].isEmpty());
  EXPECT_EQ(memo3[6], u"Изготовитель: Tarkon"_s);
  EXPECT_EQ(memo3[7], u"По вопросам и предложениям обращайтесь по адресу: dev@tarkon.example"_s);
  EXPECT_EQ(form.SpeedButton5->text(), u"Написать письмо разработчику ПО: dev@tarkon.example "_s);
  EXPECT_EQ(form.Label3->text(), u"Внешний вид БК\nТарком-А"_s);
  EXPECT_EQ(form.N1->text(), u"Подробнее о \"Tarkon\""_s);
  // The product description: introduction, empty line, heading, eight numbered paragraphs.
  const QStringList memo4 = Lines(form.Memo4);
  ASSERT_EQ(memo4.size(), 11);
  EXPECT_TRUE(memo4[1].isEmpty());
  EXPECT_TRUE(memo4[10].startsWith("8. "));
}

// The width a label's text takes as drawn: condensed where it is wider than the label.
int DrawnTextWidth(const QLabel* label) {
  const auto* fitting = dynamic_cast<const FittingLabel*>(label);
  const double scale = fitting != nullptr ? fitting->TextScale() : 1.0;
  return static_cast<int>(label->fontMetrics().horizontalAdvance(label->text().trimmed()) * scale);
}

// The columns of the label's drawing that hold text, as [first, last]; {-1, -1} when none do.
std::pair<int, int> InkedColumns(QLabel* label) {
  const QImage image = label->grab().toImage();
  const QRgb background = label->palette().color(label->backgroundRole()).rgb();
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (qGray(image.pixel(x, y)) < qGray(background) - 60) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

void ExpectEveryTextToFit() {
  TForm1 form;
  form.show();
  for (QLabel* label :
       {form.Label13, form.Label14, form.Label11, form.Label10, form.Label1, form.Label2}) {
    EXPECT_LE(DrawnTextWidth(label), label->width()) << label->objectName().toStdString();
    EXPECT_LE(label->geometry().right(), form.width() - 1) << label->objectName().toStdString();
  }
  for (QPushButton* button :
       {form.ToolButton1, form.Button2, form.SpeedButton4, form.SpeedButton5}) {
    // The rectangle the style draws the caption in.
    QStyleOptionButton option;
    option.initFrom(button);
    option.features = button->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    option.text = button->text();
    const QRect contents =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), contents.width())
        << button->objectName().toStdString();
  }
  for (int i = 0; i < form.PageControl1->count(); ++i) {
    const QTabBar* bar = form.PageControl1->tabBar();
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(bar->tabText(i)), bar->tabRect(i).width());
  }
  // The link status with the link up is wider than its stored place; the label sits left of it,
  // in the blank end of the caption before it, in one place for both captions, and is drawn
  // whole, from its left edge across most of its width.
  session::SessionControls& controls = form;
  const QRect place = form.Label10->geometry();
  const int caption_end = form.Label11->x() + form.Label11->fontMetrics().horizontalAdvance(
                                                  form.Label11->text().trimmed());
  for (const char* caption : {"Связь с ЭБУ установлена", "Нет связи с ЭБУ"}) {
    controls.SetLabel10Caption(caption);
    EXPECT_EQ(form.Label10->geometry(), place) << caption;
    EXPECT_LE(DrawnTextWidth(form.Label10), place.width()) << caption;
  }
  controls.SetLabel10Caption("Связь с ЭБУ установлена");
  const auto [first, last] = InkedColumns(form.Label10);
  EXPECT_LE(first, 2);
  EXPECT_GT(last, place.width() * 3 / 4);
  EXPECT_LT(last, place.width() - 1);
  EXPECT_LE(place.right(), form.width() - 1);
  EXPECT_GT(place.x(), caption_end);
  EXPECT_LE(place.x(), 764);
}

TEST(Form1, EveryTextFitsItsControl) {
  ExpectEveryTextToFit();
}

// Under Wine the stored face comes out as an Arial-metric font, a few pixels wider than the one
// the tool bar's places were measured with; there the link status has less room than its text.
TEST(Form1, EveryTextFitsItsControlInAWiderFont) {
  gauges::InstallFontSubstitutions();
  const QString stored = u"MS Sans Serif"_s;
  const QStringList substitutes = QFont::substitutes(stored);
  const auto use = [&](const QStringList& families) {
    QFont::removeSubstitutions(stored);
    QFont::insertSubstitutions(stored, families);
    // A change of the application fonts is what makes Qt forget the fonts it has resolved.
    const int any =
        QFontDatabase::addApplicationFont(u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"_s);
    QFontDatabase::removeApplicationFont(any);
  };
  use({u"Liberation Sans"_s});
  ASSERT_EQ(QFontInfo(StoredFont("MS Sans Serif", -11)).family(), u"Liberation Sans"_s);
  ExpectEveryTextToFit();
  use(substitutes);
}

TEST(Form1, PopupMenuShowsTheDescriptionWithoutChangingThePollState) {
  test::UrlRecorder links;
  TForm1 form;
  const auto state = form.Session().poll_state();
  form.N1->trigger();
  EXPECT_EQ(form.PageControl1->currentIndex(), 2);
  EXPECT_EQ(form.Session().poll_state(), state);

  // A page the user picks steers the cycle: page 1 reads trouble codes.
  QTabBar* bar = form.PageControl1->tabBar();
  form.show();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  EXPECT_EQ(form.PageControl1->currentIndex(), 1);
  EXPECT_EQ(form.Session().poll_state(), session::poll::kReadTroubleCodes);

  form.SiteItem1->trigger();
  QTest::mouseClick(form.Image1, Qt::LeftButton, {}, form.Image1->rect().center());
  form.SpeedButton4->click();
  form.SpeedButton5->click();
  ASSERT_EQ(links.opened.size(), 4);
  EXPECT_EQ(links.opened[0], QUrl("http://www.tarkon.example/produkt/"));
  EXPECT_EQ(links.opened[1], links.opened[0]);
  EXPECT_EQ(links.opened[2], QUrl("http://www.tarkon.example/zakaz/"));
  EXPECT_EQ(links.opened[3], QUrl("mailto:dev@tarkon.example"));
  EXPECT_EQ(form.Image1->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST(Form1, ErrorsPageFocusOrder) {
  TForm1 form;
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.PageControl1->setCurrentIndex(1);
  form.Memo1->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.Button2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.Memo2);
  EXPECT_TRUE(form.Memo1->isReadOnly());
  EXPECT_EQ(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(form.Memo4->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

// The fault page polls several times a second; an answer that lists the faults shown leaves the
// lists alone, so that the user can scroll and select in them.
TEST(Form1, FaultListsKeepSelectionAndScrollWhileTheFaultsStayTheSame) {
  TForm1 form;
  form.show();
  session::ResponseData answer;
  const std::uint8_t many_current[] = {0x58, 12,   0x01, 0x02, 0x60, 0x01, 0x03, 0x60, 0x01, 0x12,
                                       0x60, 0x01, 0x13, 0x60, 0x01, 0x15, 0x60, 0x01, 0x16, 0x60,
                                       0x01, 0x17, 0x60, 0x01, 0x18, 0x60, 0x01, 0x22, 0x60, 0x01,
                                       0x23, 0x60, 0x01, 0x30, 0x60, 0x01, 0x71, 0x20};
  std::copy(std::begin(many_current), std::end(many_current), answer.bytes.begin());
  answer.length = std::size(many_current);
  session::ShowTroubleCodes(answer, form);
  ASSERT_EQ(Lines(form.Memo1).size(), 11);
  QTextCursor selection = form.Memo1->textCursor();
  selection.setPosition(7);
  selection.setPosition(30, QTextCursor::KeepAnchor);
  form.Memo1->setTextCursor(selection);
  form.Memo1->verticalScrollBar()->setValue(2);

  session::ShowTroubleCodes(answer, form);
  EXPECT_EQ(form.Memo1->textCursor().selectionStart(), 7);
  EXPECT_EQ(form.Memo1->textCursor().selectionEnd(), 30);
  EXPECT_EQ(form.Memo1->verticalScrollBar()->value(), 2);

  answer.bytes[1] = 11;  // the stored fault is gone
  session::ShowTroubleCodes(answer, form);
  EXPECT_TRUE(form.Memo2->toPlainText().isEmpty());
  EXPECT_EQ(form.Memo1->textCursor().selectionStart(), 7);
  answer.bytes[1] = 10;  // one current fault less: the list is rewritten
  session::ShowTroubleCodes(answer, form);
  EXPECT_EQ(Lines(form.Memo1).size(), 10);
  EXPECT_FALSE(form.Memo1->textCursor().hasSelection());
}

TEST(Form1, GaugesReadOutThroughAccessibility) {
  TForm1 form;
  form.show();
  form.VS_Speed->SetValue(88.04f);
  form.VI_Speed->SetValue(88.0f);
  form.VS_Nmot->SetValue(35.0f);
  QAccessibleInterface* speed = QAccessible::queryAccessibleInterface(form.VS_Speed);
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed->role(), QAccessible::Slider);
  EXPECT_TRUE(speed->state().readOnly);
  EXPECT_EQ(speed->text(QAccessible::Name), u"Скорость, км/ч"_s);
  EXPECT_EQ(speed->text(QAccessible::Value), u"88.0"_s);
  EXPECT_EQ(speed->text(QAccessible::Description), u"88.0"_s);
  // The value is the number drawn, with the step of the figures drawn, so that a reader that
  // formats it says what the window shows.
  QAccessibleValueInterface* value = speed->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), 88.0);
  EXPECT_DOUBLE_EQ(value->minimumStepSize().toDouble(), 0.1);
  EXPECT_DOUBLE_EQ(value->maximumValue().toDouble(), 250.0);
  value->setCurrentValue(10.0);
  EXPECT_EQ(form.VS_Speed->Value(), 88.04f);
  // The text a review of the window reads keeps its length as the figures change.
  EXPECT_EQ(speed->textInterface()->text(0, -1), u"Скорость, км/ч 88.0 "_s);
  form.VS_Speed->SetValue(188.0f);
  EXPECT_EQ(speed->textInterface()->text(0, -1), u"Скорость, км/ч 188.0"_s);

  QAccessibleInterface* figures = QAccessible::queryAccessibleInterface(form.VI_Speed);
  EXPECT_EQ(figures->text(QAccessible::Name), u"Скорость, км/ч"_s);
  EXPECT_EQ(figures->text(QAccessible::Value), u"88 км/ч"_s);
  EXPECT_EQ(figures->textInterface()->text(0, -1), u"Скорость 88 км/ч "_s);
  EXPECT_DOUBLE_EQ(figures->valueInterface()->minimumStepSize().toDouble(), 1.0);
  EXPECT_DOUBLE_EQ(QAccessible::queryAccessibleInterface(form.VS_DV)
                       ->valueInterface()
                       ->minimumStepSize()
                       .toDouble(),
                   0.01);
  // The engine-speed dial stores "%" as its unit but does not draw it.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form.VS_Nmot)->text(QAccessible::Value),
            u"35.0"_s);
  QAccessibleInterface* coolant = QAccessible::queryAccessibleInterface(form.VS_TOG);
  EXPECT_EQ(coolant->text(QAccessible::Name), u"Температура охлаж. жид., °C"_s);
  EXPECT_EQ(coolant->text(QAccessible::Value), u"0.0 °C"_s);
}

TEST(Form1, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  test::ShownErrors().clear();
  RunHandler([] { throw std::runtime_error("Write error (5), Input/output error"); });
  RunHandler([] {});
  ASSERT_EQ(test::ShownErrors().size(), 1);
  EXPECT_EQ(test::ShownErrors()[0], "Write error (5), Input/output error");
}

TEST(Form2, HiddenUntilShownAndHidesOnOk) {
  TForm1 form1;
  TForm2 form2;
  form1.SetForm2(&form2);
  EXPECT_FALSE(form2.isVisible());
  form1.GxColBitBtn2Click();
  EXPECT_TRUE(form2.isVisible());
  EXPECT_FALSE(form2.isModal());
  EXPECT_EQ(form2.windowTitle(), u"О \"Tarkon\""_s);
  EXPECT_EQ(form2.BitBtn1->geometry(), QRect(304, 552, 185, 25));
  EXPECT_EQ(form2.Image2->geometry(), QRect(-8, 373, 785, 169));
  form2.BitBtn1->click();
  EXPECT_FALSE(form2.isVisible());
  // One photo in both windows, each time centred and scaled down with its proportions kept.
  EXPECT_EQ(form2.Image2->Picture(), form1.Image2->Picture());
  EXPECT_EQ(form1.Image2->PictureRect(), QRect(0, 6, 169, 108));
  EXPECT_EQ(form2.Image2->PictureRect(), QRect(261, 0, 263, 169));
  const QStringList lines = form2.Memo1->toPlainText().split('\n');
  EXPECT_EQ(lines.filter(QRegularExpression("^[1-6]\\.\\t")).size(), 6);
}

}  // namespace
}  // namespace m797::ui
