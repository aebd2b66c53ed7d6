// The tester as the program starts it: the time from process start to the main window's first
// paint, then the resident memory, the CPU time and the pacing on the line (as the simulator saw
// it) after a stretch of live data against the simulator (60 s unless given in seconds on the
// command line; a second argument "elm327" puts an ELM327 in front of the simulator's controller,
// which the tester finds on its own, and the time to the first live data is printed).  The
// benchmark waits in the program's own event loop, so that the CPU time is the tester's.  Uses the
// display it finds, or Qt's off-screen platform without one.
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/process_cpu.h"
#include "e2e_rig.h"
#include "gauges/blink_scheduler.h"
#include "line_checks.h"
#include "tab_click_latency.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {

// Seconds since this process started, from the kernel's record of the start (10 ms steps).
double SecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22; ++i)
    fields >> field;  // field 22: start time in clock ticks after boot
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return now.tv_sec + now.tv_nsec / 1e9 - std::stod(field) / sysconf(_SC_CLK_TCK);
}

long StatusKiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

double CpuSeconds() {
  return std::chrono::duration<double>(m797::bench::ProcessCpuTime()).count();
}

// Notes when the first paint of a widget has been done.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen) {
      seen = true;
      QTimer::singleShot(0, [this] { done = true; });
    }
    return false;
  }
  bool seen = false;
  bool done = false;
};

}  // namespace

int main(int argc, char** argv) {
  const auto main_entered = std::chrono::steady_clock::now();
  const int live_seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const bool through_chip = argc > 2 && std::strcmp(argv[2], "elm327") == 0;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  m797::e2e::ConfigFolder config;

  QApplication app(argc, argv);
  m797::gauges::TGxBlinkScheduler::Instance().SetAutoTick(true);
  m797::ui::TForm1 form1;
  m797::ui::TForm2 form2;
  form1.SetForm2(&form2);
  FirstPaint paint;
  form1.installEventFilter(&paint);
  form1.show();
  while (!paint.done)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const double to_paint = SecondsSinceProcessStart();
  const double from_main =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - main_entered).count();
  std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
  std::printf("process start to first paint: %.0f ms (from main: %.1f ms)\n", to_paint * 1000,
              from_main * 1000);
  std::printf("resident after start: %ld KiB\n", StatusKiB("VmRSS:"));

  std::vector<std::string> sim_args = {"--type", "1", "--port", "COM1"};
  if (through_chip) sim_args.insert(sim_args.end(), {"--adapter", "elm327"});
  m797::e2e::EcusimProcess sim(config.path() + "/ecusim.log", sim_args);
  const std::string link = config.path() + "/TARKON/ports/COM1";
  QElapsedTimer wait;
  wait.start();
  while (!std::filesystem::exists(link) && wait.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  form1.ComboBox1->setCurrentIndex(0);
  const double cpu_before = CpuSeconds();
  QElapsedTimer live;
  live.start();
  form1.ToolButton1->click();
  QEventLoop loop;
  QTimer::singleShot(live_seconds * 1000, &loop, &QEventLoop::quit);
  // The first live-data answer, as the simulator logs it; the CPU time from then on is that of
  // live data alone.
  QTimer first_data;
  double live_cpu_before = 0;
  qint64 live_ms_before = -1;
  QObject::connect(&first_data, &QTimer::timeout, [&] {
    for (const auto& frame : sim.Frames()) {
      const auto data = m797::session::FrameData(frame.bytes);
      if (!frame.received && !data.empty() && data[0] == 0x61) {
        live_ms_before = live.elapsed();
        live_cpu_before = CpuSeconds();
        std::printf("start to the first live data: %lld ms\n",
                    static_cast<long long>(live_ms_before));
        first_data.stop();
        return;
      }
    }
  });
  first_data.start(20);
  loop.exec();
  const double wall = live.elapsed() / 1000.0;
  const double cpu_after = CpuSeconds();
  const double cpu = cpu_after - cpu_before;
  if (live_ms_before >= 0) {
    const double live_wall = wall - live_ms_before / 1000.0;
    std::printf("CPU from the first live data on: %.2f s in %.0f s = %.2f %% of the wall time\n",
                cpu_after - live_cpu_before, live_wall,
                100.0 * (cpu_after - live_cpu_before) / live_wall);
  }
  const std::vector<m797::e2e::LoggedFrame> live_frames = sim.Frames();
  // Clicks on the tabs while testing: how soon the page shows, whatever the session is doing.
  std::vector<double> clicks = TabClickLatencies(form1, 20, 730);
  form1.ToolButton1->click();
  std::size_t answers = 0;
  for (const auto& frame : live_frames)
    answers += !frame.received;
  std::printf(
      "after %.0f s of live data (%zu answers): resident %ld KiB (peak %ld KiB), CPU %.2f s = "
      "%.2f %% of the wall time\n",
      wall, answers, StatusKiB("VmRSS:"), StatusKiB("VmHWM:"), cpu, 100.0 * cpu / wall);
  std::vector<double> pauses = m797::e2e::PausesAfterAnswers(live_frames);
  if (!pauses.empty()) {
    std::sort(pauses.begin(), pauses.end());
    auto at = [&](double q) { return pauses[static_cast<std::size_t>(q * (pauses.size() - 1))]; };
    std::printf("pause from an answer to the next request: min %.3f  median %.3f  p99 %.3f ms\n",
                pauses.front(), at(0.5), at(0.99));
  }
  if (!clicks.empty()) {
    std::sort(clicks.begin(), clicks.end());
    std::printf("tab click to the page painted, %zu clicks: median %.1f  max %.1f ms\n",
                clicks.size(), clicks[clicks.size() / 2], clicks.back());
    std::vector<double> click_pauses = m797::e2e::PausesAfterAnswers(sim.Frames());
    click_pauses.erase(click_pauses.begin(), click_pauses.begin() + pauses.size());
    if (!click_pauses.empty())
      std::printf("pause while the tabs were clicked: min %.3f  max %.3f ms\n",
                  *std::min_element(click_pauses.begin(), click_pauses.end()),
                  *std::max_element(click_pauses.begin(), click_pauses.end()));
  }
  return 0;
}
