#pragma once

#include <QWidget>
#include <memory>

#include "session/session_controls.h"

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace m797::gauges {
class TGxAnalogGControl;
class TGx180Meter;
class TGx120Meter;
class TGxThermometer;
class TGxValueInd;
class TGxVMeter;
}  // namespace m797::gauges

namespace m797::serial {
class TSerComm;
}

namespace m797::session {
class DiagnosticSession;
}

namespace m797::ui {

class PictureBox;
class TForm2;
struct Form1Session;

// The main window: the tool bar with the start button and the two selectors, the four pages
// (the eleven gauges, the fault lists, the product description, the program information), the
// product photo and the banner.  It owns the serial component, the three timers, the settings
// and the diagnostic session, and routes every event of its controls to the session's handlers;
// an exception escaping a handler is shown and the program goes on.
class TForm1 : public QWidget, public session::SessionControls {
  Q_OBJECT

 public:
  // Whether construction ends by running FormCreate, as the program does; tests look at the
  // stored form before it.
  enum class Creation { kRunFormCreate, kStoredFormOnly };

  explicit TForm1(Creation creation = Creation::kRunFormCreate);
  ~TForm1() override;

  // The about window that GxColBitBtn2Click shows.
  void SetForm2(TForm2* form2) { form2_ = form2; }

  // Runs a handler of the session as an event of the window does: after the handler that is
  // running, if any, and under the program's exception guard.
  void RunSessionHandler(void (session::DiagnosticSession::*handler)());

  // Handlers of the window itself.
  void Image1Click();
  void GxColBitBtn4Click();
  void SpeedButton5Click();
  void N1Click();
  void GxColBitBtn2Click();

  // What the session reads and writes.
  std::string ToolButton1Caption() const override;
  void SetToolButton1Caption(const std::string& caption) override;
  int ItemIndex(session::Selector selector) const override;
  void SetItemIndex(session::Selector selector, int index) override;
  void SetSelectorEnabled(session::Selector selector, bool enabled) override;
  void SetLabel10Caption(const std::string& caption) override;
  int ActivePageIndex() const override;
  void SetMemoLines(session::Memo memo, const std::vector<std::string>& lines) override;
  void SetGaugeValue(session::Gauge gauge, float value) override;

  serial::TSerComm& SerComm1();
  const session::DiagnosticSession& Session() const;
  // The gauge the session writes for a quantity.
  gauges::TGxAnalogGControl& GaugeOf(session::Gauge gauge) const;

  // Controls, under their stored names.
  QWidget* ToolBar1 = nullptr;
  QPushButton* ToolButton1 = nullptr;
  QFrame* ToolButton2 = nullptr;
  QLabel* Label13 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QFrame* ToolButton3 = nullptr;
  QLabel* Label14 = nullptr;
  QComboBox* ComboBox2 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label10 = nullptr;

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet6 = nullptr;
  QWidget* TabSheet5 = nullptr;

  gauges::TGx180Meter* VS_Speed = nullptr;
  gauges::TGx180Meter* VS_Nmot = nullptr;
  gauges::TGxValueInd* VI_Speed = nullptr;
  gauges::TGxValueInd* VI_Nmot = nullptr;
  gauges::TGxThermometer* VS_TOG = nullptr;
  gauges::TGx120Meter* VS_Ub = nullptr;
  gauges::TGxThermometer* VS_TANS = nullptr;
  gauges::TGxVMeter* VS_THR = nullptr;
  gauges::TGxVMeter* VS_MRV = nullptr;
  gauges::TGxValueInd* VI_Ub = nullptr;
  gauges::TGxVMeter* VS_DV = nullptr;

  QLabel* Label1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QLabel* Label2 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QPushButton* Button2 = nullptr;

  QPlainTextEdit* Memo4 = nullptr;
  QPlainTextEdit* Memo3 = nullptr;
  QPushButton* SpeedButton4 = nullptr;
  QPushButton* SpeedButton5 = nullptr;

  QLabel* Label3 = nullptr;
  PictureBox* Image2 = nullptr;
  PictureBox* Image1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* N1 = nullptr;
  QAction* SiteItem1 = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateToolBar();
  void CreatePages();
  void CreateGauges();
  void CreateErrorsPage();
  void CreateDescriptionPage();
  void CreateAboutPage();
  void CreatePictures();
  void ConnectControls();
  void PlaceLabel10();
  QComboBox* SelectorOf(session::Selector selector) const;
  QPlainTextEdit* MemoOf(session::Memo memo) const;

  std::unique_ptr<Form1Session> session_;
  TForm2* form2_ = nullptr;
  bool page_change_by_code_ = false;
  int session_page_ = 0;  // the active page as the session was last told of it
  bool closed_ = false;
};

}  // namespace m797::ui
