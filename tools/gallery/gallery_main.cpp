// Writes PNG pictures of every instrument at a few values into the folder named on the command
// line, so that a person can look at the drawing.  The pixel test of the gauges compares the same
// pictures with the ones kept in tests/gauges/gallery_baseline; scripts/gallery-baseline writes
// them there.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "gallery_pictures.h"
#include "gauges/blink_scheduler.h"

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
  for (const auto& picture : m797::gauges::gallery::RenderGallery()) {
    const QString file = folder.filePath(picture.name + ".png");
    if (!picture.image.save(file)) {
      std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(file));
      return 1;
    }
    std::printf("%s\n", qPrintable(file));
  }
  return 0;
}
