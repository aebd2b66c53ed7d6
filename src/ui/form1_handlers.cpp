// The main window's events: each control's signal runs its handler, and each handler runs under
// the one exception guard of the program.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QUrl>
#include <algorithm>

#include "gauges/round_meter.h"
#include "gauges/thermometer.h"
#include "gauges/value_indicator.h"
#include "gauges/vertical_meter.h"
#include "session/session_texts.h"
#include "ui/exception_box.h"
#include "ui/form1.h"
#include "ui/form1_session.h"
#include "ui/form2.h"
#include "ui/maker_texts.h"
#include "ui/picture_box.h"
#include "ui/window_placement.h"

namespace m797::ui {

namespace {

void OpenLink(const char* url) {
  // Nothing is reported when no program takes the link.
  QDesktopServices::openUrl(QUrl(QString::fromLatin1(url)));
}

}  // namespace

void TForm1::ConnectControls() {
  using session::DiagnosticSession;
  connect(ToolButton1, &QPushButton::clicked, this,
          [this] { RunSessionHandler(&DiagnosticSession::Button1Click); });
  connect(Button2, &QPushButton::clicked, this,
          [this] { RunSessionHandler(&DiagnosticSession::Button2Click); });
  // The session reads the page it was last told of, so that a page the user picks while the
  // session pauses counts from its turn in the queue on, not from the click.  Only a page change
  // the user makes runs the handler; N1Click changes the page by code.
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    const bool by_user = !page_change_by_code_;
    session_->gate.Run([this, index, by_user] {
      session_page_ = index;
      if (by_user) session_->session.PageControl1Change();
    });
  });
  // The port selector's tool tip names an ELM327 adapter found on the port: the one the line
  // has now, or the one remembered for the port picked.
  session_->line.on_description_change = [this] {
    ComboBox1->setToolTip(QString::fromStdString(session_->line.Description()));
  };
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
    const std::string port = index >= 0 ? "COM" + std::to_string(index + 1) : std::string();
    ComboBox1->setToolTip(QString::fromStdString(
        tester_port::AdapterLine::RememberedDescription(session_->settings, port)));
  });
  connect(Image1, &PictureBox::clicked, this, [this] { Image1Click(); });
  connect(Image1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(Image1->mapToGlobal(pos)); });
  connect(N1, &QAction::triggered, this, [this] { N1Click(); });
  connect(SiteItem1, &QAction::triggered, this, [this] { Image1Click(); });
  connect(SpeedButton4, &QPushButton::clicked, this, [this] { GxColBitBtn4Click(); });
  connect(SpeedButton5, &QPushButton::clicked, this, [this] { SpeedButton5Click(); });
}

serial::TSerComm& TForm1::SerComm1() {
  return session_->SerComm1;
}

const session::DiagnosticSession& TForm1::Session() const {
  return session_->session;
}

void TForm1::RunSessionHandler(void (session::DiagnosticSession::*handler)()) {
  session_->RunSessionHandler(handler);
}

void TForm1::Image1Click() {
  OpenLink(maker::kProductPageUrl);
}
void TForm1::GxColBitBtn4Click() {
  OpenLink(maker::kOrderPageUrl);
}
void TForm1::SpeedButton5Click() {
  OpenLink(maker::kMailUrl);
}

void TForm1::N1Click() {
  page_change_by_code_ = true;
  PageControl1->setCurrentIndex(2);
  page_change_by_code_ = false;
}

void TForm1::GxColBitBtn2Click() {
  if (!form2_) return;
  form2_->show();
  form2_->raise();
  form2_->activateWindow();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    RunSessionHandler(&session::DiagnosticSession::FormClose);
    // The program ends with its main window, once FormClose has run.  The quit that Qt posts when
    // the last window closes is not enough: a pause's event loop that starts before it is handled
    // removes it, and the program would go on without a window, holding the port.  An exit holds
    // for every event loop, those that start later included, which return at once.
    session_->gate.Run([] { QCoreApplication::exit(0); });
  }
  QWidget::closeEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
  // The window has a fixed size: a request to maximize it (from a window manager that offers it
  // anyway, or from code) is turned back.
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
    setWindowState(windowState() & ~Qt::WindowMaximized);
  QWidget::changeEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
  // Shown by the program, not restored from the task bar by the window system: a window the
  // user moved stays where it is.
  if (!event->spontaneous()) CentreOnScreen(*this);
  QWidget::showEvent(event);
}

// What the session reads and writes.

std::string TForm1::ToolButton1Caption() const {
  return ToolButton1->text().toStdString();
}

void TForm1::SetToolButton1Caption(const std::string& caption) {
  ToolButton1->setText(QString::fromStdString(caption));
}

QComboBox* TForm1::SelectorOf(session::Selector selector) const {
  return selector == session::Selector::ComboBox1 ? ComboBox1 : ComboBox2;
}

int TForm1::ItemIndex(session::Selector selector) const {
  return SelectorOf(selector)->currentIndex();
}

void TForm1::SetItemIndex(session::Selector selector, int index) {
  QComboBox* box = SelectorOf(selector);
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void TForm1::SetSelectorEnabled(session::Selector selector, bool enabled) {
  SelectorOf(selector)->setEnabled(enabled);
}

void TForm1::SetLabel10Caption(const std::string& caption) {
  Label10->setText(QString::fromStdString(caption));
}

void TForm1::PlaceLabel10() {
  // The label takes one place for both captions, wide enough for the longer one.  "Связь с ЭБУ
  // установлена" is wider than the room between the stored place and the window's edge; rather
  // than cut it off there, the label sits further left, in the blank end of the caption before
  // it, and stays there whichever caption it shows.  It keeps at least a blank's width from the
  // visible end of that caption; where the font leaves less room than that (in the Windows
  // font's metrics it does), the text is drawn condensed to the room.
  constexpr int kLeft = 764, kTop = 2, kWidth = 86, kHeight = 22, kEdgeMargin = 3;
  const QStringList captions = {QString::fromUtf8(session::kLinkUpCaption),
                                QString::fromUtf8(session::kLinkDownCaption)};
  const QFontMetrics metrics = Label10->fontMetrics();
  int width = kWidth;
  for (const QString& caption : captions)
    width = std::max(width, metrics.horizontalAdvance(caption) + 1);
  const int right = ToolBar1->width() - kEdgeMargin;
  const QFontMetrics before = Label11->fontMetrics();
  const int first_free =
      Label11->x() + before.horizontalAdvance(Label11->text().trimmed() + QLatin1Char(' '));
  const int left = std::max(first_free, std::min(kLeft, right - width));
  width = std::min(width, right - left);
  Label10->setGeometry(left, kTop, width, kHeight);
}

int TForm1::ActivePageIndex() const {
  return session_page_;
}

QPlainTextEdit* TForm1::MemoOf(session::Memo memo) const {
  return memo == session::Memo::Memo1 ? Memo1 : Memo2;
}

void TForm1::SetMemoLines(session::Memo memo, const std::vector<std::string>& lines) {
  QStringList shown_lines;
  for (const std::string& line : lines)
    shown_lines << QString::fromStdString(line);
  QPlainTextEdit* list = MemoOf(memo);
  // The list is polled several times a second; rewriting the same text would reset the user's
  // scroll position and selection each time and flood assistive technology with text events.
  if (list->toPlainText() == shown_lines.join('\n')) return;
  list->clear();
  for (const QString& line : shown_lines)
    list->appendPlainText(line);
}

gauges::TGxAnalogGControl& TForm1::GaugeOf(session::Gauge gauge) const {
  using session::Gauge;
  switch (gauge) {
    case Gauge::VS_Speed:
      return *VS_Speed;
    case Gauge::VI_Speed:
      return *VI_Speed;
    case Gauge::VS_Nmot:
      return *VS_Nmot;
    case Gauge::VI_Nmot:
      return *VI_Nmot;
    case Gauge::VS_TOG:
      return *VS_TOG;
    case Gauge::VS_TANS:
      return *VS_TANS;
    case Gauge::VS_Ub:
      return *VS_Ub;
    case Gauge::VI_Ub:
      return *VI_Ub;
    case Gauge::VS_THR:
      return *VS_THR;
    case Gauge::VS_MRV:
      return *VS_MRV;
    case Gauge::VS_DV:
      return *VS_DV;
  }
  return *VS_Speed;
}

void TForm1::SetGaugeValue(session::Gauge gauge, float value) {
  GaugeOf(gauge).SetValue(value);
}

}  // namespace m797::ui
