// The built-in pictures as stored and as decoded, and the JPEG decoder on damaged copies of the
// photo: each must give a null picture and exactly one warning.
#include <gtest/gtest.h>

#include <QImage>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "ui/pictures/jpeg_decoder.h"
#include "ui/pictures/pictures.h"

namespace m797::ui {
namespace {

// Collects the Qt warnings issued while it lives.
class WarningRecorder {
 public:
  WarningRecorder() {
    messages_ = &recorded_;
    previous_ = qInstallMessageHandler(&Record);
  }
  ~WarningRecorder() {
    qInstallMessageHandler(previous_);
    messages_ = nullptr;
  }
  const QStringList& messages() const { return recorded_; }

 private:
  static void Record(QtMsgType, const QMessageLogContext&, const QString& text) {
    messages_->append(text);
  }
  static inline QStringList* messages_ = nullptr;
  QStringList recorded_;
  QtMessageHandler previous_;
};

unsigned Read16(const QByteArray& bytes, qsizetype at) {
  return static_cast<std::uint8_t>(bytes[at]) << 8 | static_cast<std::uint8_t>(bytes[at + 1]);
}
unsigned Read32LittleEndian(const QByteArray& bytes, qsizetype at) {
  unsigned value = 0;
  for (int i = 3; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// Offset of the first segment with `marker` (the byte after 0xFF), walking the segments from the
// start of the file; -1 when there is none before the first scan.
qsizetype FindSegment(const QByteArray& jpeg, std::uint8_t marker) {
  qsizetype at = 2;  // after SOI
  while (at + 4 <= jpeg.size() && static_cast<std::uint8_t>(jpeg[at]) == 0xFF) {
    const auto kind = static_cast<std::uint8_t>(jpeg[at + 1]);
    if (kind == marker) return at;
    if (kind == 0xDA) return -1;  // start of scan: the headers are over
    at += 2 + Read16(jpeg, at + 2);
  }
  return -1;
}

QImage DecodeExpectingOneWarning(const QByteArray& jpeg) {
  WarningRecorder warnings;
  QImage picture = DecodeJpeg(jpeg);
  EXPECT_EQ(warnings.messages().size(), 1) << warnings.messages().join("\n").toStdString();
  return picture;
}

TEST(ProductPhoto, IsAProgressiveJpegOf850x546WithThreeComponents) {
  const QByteArray jpeg = ProductPhotoBytes();
  ASSERT_GT(jpeg.size(), 1000);
  EXPECT_LT(jpeg.size(), 200 * 1024);
  EXPECT_EQ(Read16(jpeg, 0), 0xFFD8u);
  const qsizetype frame = FindSegment(jpeg, 0xC2);  // SOF2: progressive, Huffman coded
  ASSERT_GE(frame, 0) << "not a progressive JPEG";
  EXPECT_EQ(Read16(jpeg, frame + 5), 546u);
  EXPECT_EQ(Read16(jpeg, frame + 7), 850u);
  EXPECT_EQ(static_cast<int>(jpeg[frame + 9]), 3);
}

TEST(ProductPhoto, DecodesThroughLibjpegLikeQtsOwnReader) {
  WarningRecorder warnings;
  const QImage photo = ProductPhoto();
  EXPECT_TRUE(warnings.messages().isEmpty());
  ASSERT_FALSE(photo.isNull());
  EXPECT_EQ(photo.size(), QSize(850, 546));
  EXPECT_EQ(photo.format(), QImage::Format_RGB888);

  // Qt's plugin decodes with the same library: the rows and colour order must agree.
  const QImage reference = QImage::fromData(ProductPhotoBytes(), "JPEG");
  if (reference.isNull()) GTEST_SKIP() << "Qt's JPEG plugin is not installed";
  // Compared pixel by pixel rather than through a converted copy: Qt converts large pictures on
  // its thread pool, which ThreadSanitizer cannot follow into the uninstrumented Qt library.
  int worst = 0;
  for (int y = 0; y < photo.height(); ++y) {
    for (int x = 0; x < photo.width(); ++x) {
      const QRgb got = photo.pixel(x, y);
      const QRgb want = reference.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(got) - qRed(want)),
                        std::abs(qGreen(got) - qGreen(want)), std::abs(qBlue(got) - qBlue(want))});
    }
  }
  EXPECT_LE(worst, 2);
}

TEST(JpegDecoder, TruncatedPhotoGivesANullPictureAndOneWarning) {
  const QByteArray jpeg = ProductPhotoBytes();
  const qsizetype scan = jpeg.indexOf("\xFF\xDA");
  ASSERT_GT(scan, 0);
  for (qsizetype cut : {qsizetype{0}, qsizetype{1}, qsizetype{2}, scan / 2, scan + 20,
                        jpeg.size() / 3, jpeg.size() * 3 / 4, jpeg.size() - 2}) {
    SCOPED_TRACE(cut);
    EXPECT_TRUE(DecodeExpectingOneWarning(jpeg.left(cut)).isNull());
  }
}

TEST(JpegDecoder, CorruptedPhotoGivesANullPictureAndOneWarning) {
  const QByteArray jpeg = ProductPhotoBytes();
  const qsizetype frame = FindSegment(jpeg, 0xC2);
  ASSERT_GE(frame, 0);

  QByteArray noise = jpeg;  // the entropy-coded data of the later scans overwritten
  for (qsizetype i = jpeg.size() / 2; i < jpeg.size() / 2 + 64; ++i)
    noise[i] = char(i * 37 % 251);
  QByteArray huge = jpeg;  // 60000 x 60000 pixels claimed by the frame header
  huge[frame + 5] = huge[frame + 7] = char(0xEA);
  huge[frame + 6] = huge[frame + 8] = char(0x60);
  QByteArray empty = jpeg;  // zero lines
  empty[frame + 5] = empty[frame + 6] = 0;
  QByteArray fourComponents = jpeg;  // frame header claims a component more than it lists
  fourComponents[frame + 9] = 4;

  for (const QByteArray& damaged : {noise, huge, empty, fourComponents, BannerBytes()}) {
    EXPECT_TRUE(DecodeExpectingOneWarning(damaged).isNull());
  }
}

TEST(JpegDecoder, TooLargeAPictureIsRefusedBeforeDecoding) {
  QByteArray jpeg = ProductPhotoBytes();
  const qsizetype frame = FindSegment(jpeg, 0xC2);
  ASSERT_GE(frame, 0);
  jpeg[frame + 5] = char(kJpegMaxSide >> 8);  // one line more than accepted
  jpeg[frame + 6] = char(1);
  WarningRecorder warnings;
  EXPECT_TRUE(DecodeJpeg(jpeg).isNull());
  ASSERT_EQ(warnings.messages().size(), 1);
  EXPECT_TRUE(warnings.messages()[0].contains("850 x 4097"))
      << warnings.messages()[0].toStdString();
}

TEST(Banner, Is708x106In24BitUncompressedBmpWithAWhiteLowerLeftPixel) {
  const QByteArray bmp = BannerBytes();
  ASSERT_GE(bmp.size(), 54);
  EXPECT_TRUE(bmp.startsWith("BM"));
  EXPECT_EQ(Read32LittleEndian(bmp, 14), 40u);        // BITMAPINFOHEADER
  EXPECT_EQ(static_cast<std::uint8_t>(bmp[28]), 24);  // bits per pixel
  EXPECT_EQ(Read32LittleEndian(bmp, 30), 0u);         // BI_RGB

  const QImage banner = Banner();
  ASSERT_FALSE(banner.isNull());
  EXPECT_EQ(banner.size(), QSize(708, 106));
  EXPECT_EQ(banner.pixel(0, banner.height() - 1), qRgb(255, 255, 255));
  // Black text on white: every pixel is a grey, and there is black.
  bool black = false;
  for (int y = 0; y < banner.height(); ++y) {
    for (int x = 0; x < banner.width(); ++x) {
      const QRgb p = banner.pixel(x, y);
      ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
      black = black || qRed(p) == 0;
    }
  }
  EXPECT_TRUE(black);
}

}  // namespace
}  // namespace m797::ui
