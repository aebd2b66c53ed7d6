// Writes PNG pictures of every instrument at a few values into the folder named on the command
// line, so that a person can look at the drawing.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "gauges/blink_scheduler.h"
#include "ui/form1_gauges.h"

namespace {

using m797::gauges::TGxAnalogGControl;
namespace setups = m797::ui::form1;

struct Sample {
  const char* name;
  std::function<std::unique_ptr<TGxAnalogGControl>()> make;
  std::vector<float> values;
};

bool WriteSamples(const QDir& folder, const Sample& sample) {
  auto gauge = sample.make();
  gauge->move(0, 0);
  for (float value : sample.values) {
    gauge->SetValue(value);
    const QImage image = gauge->grab().toImage();
    const QString file =
        folder.filePath(QString("%1_%2.png").arg(sample.name).arg(value, 0, 'f', 1));
    if (!image.save(file)) {
      std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(file));
      return false;
    }
    std::printf("%s\n", qPrintable(file));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  m797::gauges::TGxBlinkScheduler::Instance().SetAutoTick(false);
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(folder.path())) {
    std::fprintf(stderr, "gallery: cannot create %s\n", argv[1]);
    return 1;
  }
  const std::vector<Sample> samples = {
      {"VS_Speed", [] { return setups::MakeVS_Speed(); }, {0.0f, 60.0f, 125.0f, 190.0f, 270.0f}},
      {"VS_Nmot", [] { return setups::MakeVS_Nmot(); }, {0.0f, 8.5f, 35.0f, 55.0f, 70.0f}},
      {"VS_Ub", [] { return setups::MakeVS_Ub(); }, {6.0f, 9.5f, 12.0f, 14.4f, 16.0f}},
      {"VI_Speed", [] { return setups::MakeVI_Speed(); }, {0.0f, 7.0f, 88.0f, 196.0f}},
      {"VI_Nmot", [] { return setups::MakeVI_Nmot(); }, {0.0f, 850.0f, 3250.0f}},
      {"VI_Ub", [] { return setups::MakeVI_Ub(); }, {12.0f, 14.4f}},
      {"VS_TOG", [] { return setups::MakeVS_TOG(); }, {-20.0f, 60.0f, 95.0f, 170.0f}},
      {"VS_TANS", [] { return setups::MakeVS_TANS(); }, {0.0f, 25.0f, 80.0f}},
      {"VS_THR", [] { return setups::MakeVS_THR(); }, {0.0f, 35.0f, 95.0f, 120.0f}},
      {"VS_MRV", [] { return setups::MakeVS_MRV(); }, {30.0f, 101.3f}},
      {"VS_DV", [] { return setups::MakeVS_DV(); }, {0.0f, 2.5f, 25.0f}},
  };
  for (const Sample& sample : samples)
    if (!WriteSamples(folder, sample)) return 1;
  return 0;
}
