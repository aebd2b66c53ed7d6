// The gallery's pictures against the ones kept in gallery_baseline/, pixel by pixel.  A picture
// that differs is written beside a diff image (differing pixels red over a faded copy of the
// kept picture) into gallery_diff/ of the build folder.  scripts/gallery-baseline writes the
// kept pictures anew after a change that is meant to alter the drawing.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QSet>
#include <QString>
#include <vector>

#include "gallery_pictures.h"
#include "qt_print.h"

namespace m797::gauges {
namespace {

QImage Argb(const QImage& image) {
  return image.convertToFormat(QImage::Format_ARGB32);
}

// The differing pixels of two pictures of one size, and the diff image that shows them.
int CountDifferences(const QImage& kept, const QImage& now, QImage* diff) {
  *diff = QImage(kept.size(), QImage::Format_ARGB32);
  int count = 0;
  for (int y = 0; y < kept.height(); ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(kept.constScanLine(y));
    const auto* b = reinterpret_cast<const QRgb*>(now.constScanLine(y));
    auto* d = reinterpret_cast<QRgb*>(diff->scanLine(y));
    for (int x = 0; x < kept.width(); ++x) {
      if (a[x] != b[x]) {
        ++count;
        d[x] = qRgb(255, 0, 0);
      } else {
        const int grey = 160 + qGray(a[x]) * 95 / 255;
        d[x] = qRgb(grey, grey, grey);
      }
    }
  }
  return count;
}

TEST(GalleryPixels, EveryPictureMatchesTheKeptOne) {
  const QDir kept_folder(QStringLiteral(M797_GALLERY_BASELINE_DIR));
  QDir diff_folder(QStringLiteral(M797_GALLERY_DIFF_DIR));
  diff_folder.removeRecursively();
  const std::vector<gallery::GalleryPicture> pictures = gallery::RenderGallery();
  EXPECT_EQ(pictures.size(), 40u);

  QSet<QString> kept_names;
  for (const QString& file : kept_folder.entryList({QStringLiteral("*.png")}, QDir::Files))
    kept_names.insert(file.chopped(4));
  for (const gallery::GalleryPicture& picture : pictures) {
    SCOPED_TRACE(picture.name.toStdString());
    ASSERT_TRUE(kept_names.remove(picture.name)) << "no kept picture";
    const QImage kept = Argb(QImage(kept_folder.filePath(picture.name + ".png")));
    const QImage now = Argb(picture.image);
    QImage diff;
    const bool same_size = kept.size() == now.size();
    const int differences = same_size ? CountDifferences(kept, now, &diff) : -1;
    if (differences == 0) continue;
    QDir().mkpath(diff_folder.path());
    now.save(diff_folder.filePath(picture.name + ".png"));
    if (same_size) diff.save(diff_folder.filePath(picture.name + "_diff.png"));
    ADD_FAILURE() << (same_size ? QString("%1 pixels differ").arg(differences)
                                : QString("size %1x%2, kept %3x%4")
                                      .arg(now.width())
                                      .arg(now.height())
                                      .arg(kept.width())
                                      .arg(kept.height()))
                         .toStdString()
                  << "; see " << diff_folder.path().toStdString();
  }
  EXPECT_TRUE(kept_names.isEmpty()) << "kept pictures the gallery no longer draws: "
                                    << QStringList(kept_names.values()).join(' ').toStdString();
}

}  // namespace
}  // namespace m797::gauges
