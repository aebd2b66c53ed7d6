// The real main window, driven through its controls, against the simulator on COM1.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "e2e_rig.h"
#include "gauges/analog_control.h"
#include "gauges/thermometer.h"
#include "gauges/value_format.h"
#include "gauges/value_indicator.h"
#include "line_checks.h"
#include "qt_adapters/qt_settings_store.h"
#include "serial/ser_comm.h"
#include "session/session_texts.h"
#include "shown_errors.h"
#include "ui/exception_box.h"
#include "ui/form1.h"

namespace m797::ui {
namespace {

using session::Gauge;
using namespace Qt::Literals::StringLiterals;

// How long a test waits for the window and the simulator: generous, as sanitizers slow both.
constexpr int kWaitMs = 10000;

void Click(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void ClickTab(TForm1& form, int index) {
  QTabBar* bar = form.PageControl1->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

QString Caption(const char* text) {
  return QString::fromUtf8(text);
}

// True when another program could take the line: the tester holds its port under an exclusive
// lock, which keeps out even root.
bool LineFree(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

// The main window with the simulator linked as COM1 in a private configuration folder.  The
// window lives as long as the rig, unless a test ends the program as main() does.
struct WindowRig {
  explicit WindowRig(std::vector<std::string> ecusim_args) {
    test::ShownErrors().clear();
    ecusim_args.insert(ecusim_args.end(), {"--port", "COM1"});
    sim = std::make_unique<e2e::EcusimProcess>(config.path() + "/ecusim.log", ecusim_args);
    form.show();
    form.ComboBox1->setCurrentIndex(0);
    form.ComboBox2->setCurrentIndex(0);
  }
  std::string Link() const { return config.path() + "/TARKON/ports/COM1"; }
  bool LinkReady() {
    return QTest::qWaitFor([&] { return std::filesystem::exists(Link()); }, kWaitMs);
  }
  std::size_t Requests() const {
    std::size_t n = 0;
    for (const auto& f : sim->Frames())
      n += f.received;
    return n;
  }
  // Live-data answers the controller has written.
  std::size_t LiveAnswers() const {
    std::size_t n = 0;
    for (const auto& f : sim->Frames())
      n += !f.received && !session::FrameData(f.bytes).empty() &&
           session::FrameData(f.bytes)[0] == 0x61;
    return n;
  }

  e2e::ConfigFolder config;
  std::unique_ptr<e2e::EcusimProcess> sim;
  std::unique_ptr<TForm1> window = std::make_unique<TForm1>();
  TForm1& form = *window;
};

// The chip's rate that the window remembers for COM1, 0 for none.
int RememberedChipRate() {
  qt_adapters::QtSettingsStore settings;
  return settings.ReadInteger("Vestrel", "ELM327_COM1", 0);
}

// Each gauge shows the last value that the simulator's answers call for, and says so to assistive
// technology.  For a window on a page where no live data comes in any more.
void ExpectGaugesShowTheLastAnswers(WindowRig& rig, int type_index) {
  std::map<Gauge, float> last;
  for (const auto& [gauge, value] : e2e::ExpectedGaugeWrites(rig.sim->Frames(), type_index))
    last[gauge] = value;
  ASSERT_GE(last.size(), 8u);
  for (const auto& [gauge, value] : last) {
    gauges::TGxAnalogGControl& shown = rig.form.GaugeOf(gauge);
    EXPECT_EQ(shown.Value(), value) << static_cast<int>(gauge);
    const QString figures =
        gauges::FormatValue(shown.SignalSettings()->ValueFormat(), static_cast<double>(value));
    const QString read = QAccessible::queryAccessibleInterface(&shown)->text(QAccessible::Value);
    EXPECT_TRUE(read.startsWith(figures)) << read.toStdString() << " / " << figures.toStdString();
  }
}

// The settings outlive a test in this process: a cable's test must not find a chip there.
struct ForgetChip {
  ForgetChip() { qt_adapters::QtSettingsStore().WriteInteger("Vestrel", "ELM327_COM1", 0); }
  ~ForgetChip() { qt_adapters::QtSettingsStore().WriteInteger("Vestrel", "ELM327_COM1", 0); }
};

// What the window's port leads to: a K-line cable, or an ELM327 that the window has to find.
enum class Adapter { Cable, Elm327 };

std::vector<std::string> SimulatorThrough(Adapter adapter, std::vector<std::string> args) {
  if (adapter == Adapter::Elm327) args.insert(args.end(), {"--adapter", "elm327"});
  return args;
}

class WindowWithAdapter : public ::testing::TestWithParam<Adapter> {
 protected:
  // The chip is found only after the cable's start has had no answer and the watchdog has woken
  // the line again.
  int StartWaitMs() const { return GetParam() == Adapter::Elm327 ? 2 * kWaitMs : kWaitMs; }

 private:
  ForgetChip forget_chip_;
};

TEST_P(WindowWithAdapter, LiveDataTroubleCodesClearAndStop) {
  const bool chip = GetParam() == Adapter::Elm327;
  WindowRig rig(
      SimulatorThrough(GetParam(), {"--type", "1", "--dtc", "0102:60", "--dtc", "0171:20"}));
  ASSERT_TRUE(rig.LinkReady());
  TForm1& form = rig.form;

  Click(form.ToolButton1);
  EXPECT_EQ(form.ToolButton1->text(), u"Остановить тестирование"_s);
  EXPECT_FALSE(form.ComboBox1->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.Label10->text() == u"Связь с ЭБУ установлена"_s; },
                              StartWaitMs()));
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.Requests() >= 9; }, kWaitMs));

  // The fault lists, read once the user picks their page.
  ClickTab(form, 1);
  const QString current =
      u"0102 - Датчик массового расхода воздуха, низкий уровень выходного сигнала"_s;
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.Memo1->toPlainText() == current; }, kWaitMs));
  EXPECT_TRUE(form.Memo2->toPlainText().startsWith("0171 - "));
  EXPECT_EQ(form.Memo2->toPlainText().count('\n'), 0);

  Click(form.Button2);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return form.Memo1->toPlainText().isEmpty() && form.Memo2->toPlainText().isEmpty(); },
      kWaitMs));

  // On the fault page no live data comes in any more.
  ExpectGaugesShowTheLastAnswers(rig, 0);
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(form.VI_Nmot)
                  ->text(QAccessible::Value)
                  .endsWith(u" об/мин"_s));

  // The stop ends the traffic; it puts the coolant gauge back to 0 as the start does.
  Click(form.ToolButton1);
  EXPECT_EQ(form.ToolButton1->text(), u"Начать тестирование"_s);
  EXPECT_FALSE(form.SerComm1().PortOpen());
  EXPECT_TRUE(form.ComboBox1->isEnabled());
  const std::size_t after_stop = rig.Requests();
  QTest::qWait(1500);
  EXPECT_EQ(rig.Requests(), after_stop) << "traffic went on after the stop";
  EXPECT_EQ(form.VS_TOG->Value(), 0.0f);
  EXPECT_TRUE(test::ShownErrors().isEmpty()) << test::ShownErrors().join('\n').toStdString();
  // A cable is found as a cable, and nothing is remembered for it; a chip is remembered.
  EXPECT_EQ(RememberedChipRate(), chip ? 38400 : 0);
  EXPECT_EQ(form.ComboBox1->toolTip().isEmpty(), !chip);
}

class WindowThroughElm327 : public ::testing::TestWithParam<int> {};

// The first start, as through a cable, gets no answer; the link watchdog's wake-up finds the
// chip and the session goes on through it to live data, which the gauges show.  The window
// remembers the chip for COM1 and names it in the port selector's tool tip, and the next start
// goes through the chip at once.
TEST_P(WindowThroughElm327, FindsTheChipRemembersItAndStartsThroughItNextTime) {
  const int type = GetParam();
  const ForgetChip forget_chip;
  WindowRig rig({"--type", std::to_string(type), "--adapter", "elm327", "--dtc", "0102:60"});
  ASSERT_TRUE(rig.LinkReady());
  TForm1& form = rig.form;
  form.ComboBox2->setCurrentIndex(type - 1);

  QElapsedTimer clock;
  clock.start();
  Click(form.ToolButton1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.LiveAnswers() > 0; }, 2 * kWaitMs));
  const qint64 first_start_ms = clock.elapsed();
  EXPECT_EQ(RememberedChipRate(), 38400);
  EXPECT_EQ(form.ComboBox1->toolTip(), u"ELM327 v1.5, 38400 bit/s"_s);
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.LiveAnswers() >= 8; }, kWaitMs));

  // On the fault page, once the codes are shown, no live data comes in any more.
  ClickTab(form, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Memo1->toPlainText().isEmpty(); }, kWaitMs));
  ExpectGaugesShowTheLastAnswers(rig, type - 1);

  Click(form.ToolButton1);
  ClickTab(form, 0);
  const std::size_t answers_before = rig.LiveAnswers();
  clock.restart();
  Click(form.ToolButton1);
  EXPECT_EQ(form.SerComm1().UserBaudrate(), 38400) << "the start did not go to the chip at once";
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.LiveAnswers() > answers_before; }, kWaitMs));
  const qint64 later_start_ms = clock.elapsed();
  Click(form.ToolButton1);
  EXPECT_TRUE(test::ShownErrors().isEmpty()) << test::ShownErrors().join('\n').toStdString();
  std::cout << "type " << type << ": live data " << first_start_ms
            << " ms after the first start through the chip, " << later_start_ms
            << " ms after a later one\n";
}

INSTANTIATE_TEST_SUITE_P(Types, WindowThroughElm327, ::testing::Values(1, 2, 3),
                         [](const auto& info) { return "Type" + std::to_string(info.param); });

TEST_P(WindowWithAdapter, StopCommunicationClosesThePortFromItsOwnHandler) {
  WindowRig rig(SimulatorThrough(GetParam(), {"--type", "2", "--stop-after", "5"}));
  ASSERT_TRUE(rig.LinkReady());
  rig.form.ComboBox2->setCurrentIndex(1);
  Click(rig.form.ToolButton1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.form.SerComm1().PortOpen(); }, StartWaitMs()));
  EXPECT_TRUE(rig.form.ComboBox1->isEnabled());
  EXPECT_TRUE(test::ShownErrors().isEmpty()) << test::ShownErrors().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Adapters, WindowWithAdapter,
                         ::testing::Values(Adapter::Cable, Adapter::Elm327), [](const auto& info) {
                           return info.param == Adapter::Cable ? "Cable" : "Elm327";
                         });

TEST(WindowWithSimulator, AFailedOpenShowsOneMessageAndLeavesTheSelectorsUsable) {
  test::ShownErrors().clear();
  e2e::ConfigFolder config;  // no link for COM5 here, and no /dev/ttyUSB4 on a test machine
  TForm1 form;
  form.show();
  form.ComboBox1->setCurrentIndex(4);
  Click(form.ToolButton1);
  QCoreApplication::processEvents();
  ASSERT_EQ(test::ShownErrors().size(), 1);
  EXPECT_EQ(test::ShownErrors()[0], "Specified device not found (COM5).");
  EXPECT_TRUE(form.ComboBox1->isEnabled());
  EXPECT_TRUE(form.ComboBox2->isEnabled());
  EXPECT_EQ(form.ToolButton1->text(), u"Начать тестирование"_s);
  EXPECT_FALSE(form.SerComm1().PortOpen());
}

// An error box left open while the watchdog ticks holds nothing back: the ticks reach the session
// while the box is shown, as they would with no gate, and the stop that the user clicks once the
// box is closed takes effect at once, not after a replay of every tick that came meanwhile.
TEST(WindowWithSimulator, AStopAfterAnErrorBoxLeftOpenReachesTheSessionAtOnce) {
  constexpr int kBoxOpenMs = 8000;
  // A controller that never answers keeps the link watchdog (Timer2) waking the line every two
  // seconds; then the line goes away, and the serial component reports the loss in a box.
  WindowRig rig({"--type", "1", "--silent"});
  ASSERT_TRUE(rig.LinkReady());
  TForm1& form = rig.form;
  QElapsedTimer clock;
  clock.start();
  qint64 box_closed_at = -1;
  int boxes = 0;
  // The first box stays open for a while, running an event loop as the error box does; the
  // others are recorded and closed at once.  The stop is clicked as soon as the first one closes.
  SetExceptionPresenter([&](const QString& message) {
    test::ShownErrors() << message;
    if (boxes++ > 0) return;
    QEventLoop box;
    QTimer::singleShot(kBoxOpenMs, &box, &QEventLoop::quit);
    box.exec();
    box_closed_at = clock.elapsed();
    QTimer::singleShot(0, form.ToolButton1, [&form] { Click(form.ToolButton1); });
  });
  struct RestorePresenter {
    ~RestorePresenter() { test::RecordShownErrors(); }
  } restore_presenter;

  Click(form.ToolButton1);
  ASSERT_EQ(form.ToolButton1->text(), Caption(session::kStopCaption));
  rig.sim->Stop();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return box_closed_at >= 0 && form.ToolButton1->text() == Caption(session::kStartCaption);
      },
      kBoxOpenMs + 3 * kWaitMs));
  const qint64 stop_delay_ms = clock.elapsed() - box_closed_at;
  EXPECT_LT(stop_delay_ms, 1000) << "the stop reached the session this long after the box closed";
  EXPECT_FALSE(form.SerComm1().PortOpen());
  // The line was lost once, and said so once.
  ASSERT_EQ(test::ShownErrors().size(), 1) << test::ShownErrors().join('\n').toStdString();
  EXPECT_TRUE(test::ShownErrors()[0].startsWith("Communication device failed"))
      << test::ShownErrors()[0].toStdString();
}

// A pause of the session, told apart by what the window and the simulator show while a pause's
// event loop runs.
struct SessionPause {
  std::string name;
  std::vector<std::string> ecusim_args;
  int length_ms;
  bool (*now)(WindowRig& rig);
};

const SessionPause kSessionPauses[] = {
    // The start's pause before the wake-up pattern.
    {"WakeUp",
     {"--type", "1"},
     300,
     [](WindowRig& rig) {
       return rig.form.SerComm1().PortOpen() &&
              rig.form.ToolButton1->text() == Caption(session::kStartCaption);
     }},
    // The pause between an answer and the next request, once live data comes in.
    {"Pacing", {"--type", "1"}, 200, [](WindowRig& rig) { return rig.Requests() >= 4; }},
    // The answer watchdog's pause before it repeats a request that got no answer.
    {"Retry",
     {"--type", "1", "--silent-after", "3"},
     300,
     [](WindowRig& rig) { return rig.Requests() >= 4; }},
    // The link watchdog's pause before it wakes the line again, followed by another pause.
    {"Watchdog",
     {"--type", "1", "--silent"},
     300,
     [](WindowRig& rig) { return rig.form.ToolButton1->text() == Caption(session::kStopCaption); }},
};

void PrintTo(const SessionPause& pause, std::ostream* out) {
  *out << pause.name;
}

class WindowClosedDuringAPause : public ::testing::TestWithParam<SessionPause> {};

// The window is closed by the user in the last pass of a pause's event loop, the pass in which
// the pause ends: the program still ends soon after, and frees the line.  Quitting on the last
// window closed alone would have lost its quit to the handler's next pause.
TEST_P(WindowClosedDuringAPause, EndsTheProgramAndFreesTheLine) {
  const SessionPause& pause = GetParam();
  WindowRig rig(pause.ecusim_args);
  ASSERT_TRUE(rig.LinkReady());
  QElapsedTimer clock;
  clock.start();
  qint64 closed_at = -1;
  bool closing = false;
  QTimer ended_anyway;  // the program did not end
  ended_anyway.setSingleShot(true);
  QObject::connect(&ended_anyway, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  QTimer watch;
  watch.setTimerType(Qt::PreciseTimer);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (closing) {
      // The pause's end is due in this pass as well.
      rig.form.close();
      closed_at = clock.elapsed();
      watch.stop();
      ended_anyway.start(5000);
    } else if (QThread::currentThread()->loopLevel() > 1 && pause.now(rig)) {
      // A pass as slow as the whole pause (a long repaint): when it returns, the pause's end and
      // this watch's next look are due together, and are handled in the same pass.
      std::this_thread::sleep_for(std::chrono::milliseconds(pause.length_ms + 20));
      closing = true;
    }
  });
  watch.start(1);
  QTimer::singleShot(0, rig.form.ToolButton1, [&rig] { Click(rig.form.ToolButton1); });
  QTimer never_paused;
  never_paused.setSingleShot(true);
  QObject::connect(&never_paused, &QTimer::timeout, [] { QCoreApplication::exit(2); });
  never_paused.start(3 * kWaitMs);

  const int status = QApplication::exec();
  const qint64 exit_ms = clock.elapsed() - closed_at;
  ASSERT_GE(closed_at, 0) << "the pause never came";
  EXPECT_EQ(status, 0);
  EXPECT_LT(exit_ms, 1500) << "the program ended this long after its window closed";
  EXPECT_FALSE(LineFree(rig.Link()));
  rig.window.reset();  // as main() ends once the event loop has returned
  EXPECT_TRUE(LineFree(rig.Link()));
}

INSTANTIATE_TEST_SUITE_P(EachKind, WindowClosedDuringAPause, ::testing::ValuesIn(kSessionPauses),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace m797::ui
