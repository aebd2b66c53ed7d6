// Measures, per instrument at the size the main window gives it, one value write that moves the
// moving parts and one full repaint.  Run by hand; report the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "gauges/blink_scheduler.h"
#include "ui/form1_gauges.h"

namespace {

using m797::gauges::TGxAnalogGControl;
namespace setups = m797::ui::form1;

struct Instrument {
  std::string name;
  std::function<std::unique_ptr<TGxAnalogGControl>()> make;
  // Two values inside the extremes already seen and inside the limits, so that a write costs a
  // plain value pass plus the redraw of the moving parts.
  float low;
  float high;
};

std::unique_ptr<TGxAnalogGControl> Prepared(const Instrument& instrument) {
  auto gauge = instrument.make();
  gauge->show();
  gauge->Repaint();
  gauge->SetValue(instrument.low - 1.0f);
  gauge->SetValue(instrument.high + 1.0f);
  QCoreApplication::processEvents();
  return gauge;
}

void ValueWrite(benchmark::State& state, const Instrument& instrument) {
  auto gauge = Prepared(instrument);
  bool toggle = false;
  for (auto _ : state) {
    gauge->SetValue(toggle ? instrument.high : instrument.low);
    toggle = !toggle;
  }
  QCoreApplication::processEvents();
}

void FullRepaint(benchmark::State& state, const Instrument& instrument) {
  auto gauge = Prepared(instrument);
  for (auto _ : state) {
    gauge->Invalidate();
    gauge->Repaint();
  }
  QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  m797::gauges::TGxBlinkScheduler::Instance().SetAutoTick(false);

  const Instrument instruments[] = {
      {"TGx180Meter/VS_Speed_209x145", [] { return setups::MakeVS_Speed(); }, 80.0f, 120.0f},
      {"TGx120Meter/VS_Ub_209x169", [] { return setups::MakeVS_Ub(); }, 11.0f, 13.0f},
      {"TGxVMeter/VS_MRV_105x385", [] { return setups::MakeVS_MRV(); }, 40.0f, 80.0f},
      {"TGxThermometer/VS_TOG_105x201", [] { return setups::MakeVS_TOG(); }, 20.0f, 60.0f},
      {"TGxValueInd/VI_Nmot", [] { return setups::MakeVI_Nmot(); }, 850.0f, 3250.0f},
  };
  for (const Instrument& instrument : instruments) {
    benchmark::RegisterBenchmark(("ValueWrite/" + instrument.name).c_str(), ValueWrite, instrument)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(("FullRepaint/" + instrument.name).c_str(), FullRepaint,
                                 instrument)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
