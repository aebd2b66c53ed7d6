// The instruments on a screen of device pixel ratio 2 (this test program runs on one): each is
// drawn at the full resolution of the screen, where its picture at ratio 1 (the gallery's kept
// pictures, which the gauge tests compare pixel by pixel) puts it, and not as that picture
// scaled up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <functional>
#include <memory>

#include "gallery_pictures.h"
#include "ui/form1_gauges.h"
#include "meter_probe.h"
#include "qt_print.h"

namespace m797::gauges {
namespace {

namespace setups = ui::form1;

using testing::Render;

TEST(RatioTwo, EveryGalleryPictureIsDrawnAfreshAtTwiceTheSize) {
  ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
  const QDir kept_folder(QStringLiteral(M797_GALLERY_BASELINE_DIR));
  const auto pictures = gallery::RenderGallery();
  ASSERT_EQ(pictures.size(), 40u);
  for (const gallery::GalleryPicture& picture : pictures) {
    SCOPED_TRACE(picture.name.toStdString());
    // pixel() reads either format as ARGB (a conversion of the whole picture would take Qt's
    // thread pool, which the thread sanitizer cannot follow).
    const QImage kept(kept_folder.filePath(picture.name + ".png"));
    const QImage& now = picture.image;
    ASSERT_EQ(now.size(), kept.size() * 2);
    // Each pixel at ratio 1 is a block of 2 × 2 device pixels here.  Fills, bevels and straight
    // lines make blocks of the pixel's own colour; texts and slanting edges are drawn finer, so
    // that some blocks hold more than one colour, which a picture scaled up never does.
    int same = 0;
    int finer = 0;
    for (int y = 0; y < kept.height(); ++y)
      for (int x = 0; x < kept.width(); ++x) {
        const QRgb corner = now.pixel(2 * x, 2 * y);
        const bool uniform = now.pixel(2 * x + 1, 2 * y) == corner &&
                             now.pixel(2 * x, 2 * y + 1) == corner &&
                             now.pixel(2 * x + 1, 2 * y + 1) == corner;
        same += uniform && corner == kept.pixel(x, y);
        finer += !uniform;
      }
    const double blocks = kept.width() * kept.height();
    EXPECT_GT(same / blocks, 0.75);
    EXPECT_GT(finer / blocks, 0.03);
  }
}

// A cut across a line in a picture at ratio 2, from the device pixel at the top left of the
// control pixel p: the line is the nearest run of pixels of its colour within a few pixels
// along the cut.  How many device pixels in a row have that colour, and whether the two pixels
// beyond each end of the run are alike, as they are where no edge of blended colour borders it.
struct LineCut {
  int width = 0;
  bool clean_edges = false;
};

LineCut CutAcross(const QImage& image, QPoint p, bool horizontal_line, QRgb colour) {
  const QPoint step = horizontal_line ? QPoint(0, 1) : QPoint(1, 0);
  QPoint at = 2 * p;
  for (int reach = 0; reach <= 6; ++reach) {
    if (image.valid(at + reach * step) && image.pixel(at + reach * step) == colour) {
      at += reach * step;
      break;
    }
    if (image.valid(at - reach * step) && image.pixel(at - reach * step) == colour) {
      at -= reach * step;
      break;
    }
  }
  LineCut cut;
  if (image.pixel(at) != colour) return cut;
  QPoint first = at;
  while (image.valid(first - step) && image.pixel(first - step) == colour)
    first -= step;
  QPoint last = at;
  while (image.valid(last + step) && image.pixel(last + step) == colour)
    last += step;
  cut.width = horizontal_line ? last.y() - first.y() + 1 : last.x() - first.x() + 1;
  cut.clean_edges = image.valid(first - 2 * step) && image.valid(last + 2 * step) &&
                    image.pixel(first - step) == image.pixel(first - 2 * step) &&
                    image.pixel(last + step) == image.pixel(last + 2 * step);
  return cut;
}

// A point on a line of an instrument's scale (or, for a value indicator, of its value box's
// frame), whether that line runs horizontally, its width in control pixels and its colour.
struct ProbedLine {
  QPoint p;
  bool horizontal;
  int width;
  TColor colour = clBlack;
};

// The first minor tick below the top of a straight scale, halfway along it.
ProbedLine StraightTick(const TScaleLayout& scale, int base_x, int direction) {
  return {QPoint(base_x + direction * (scale.minor_tick_length / 2), scale.map.MinorTick(0, 1)),
          true, 1};
}

// A dial's minor tick that points straight up, halfway along it.
ProbedLine UprightDialTick(const TScaleLayout& scale) {
  const int from_centre = scale.radius - scale.label_gap - scale.tick_length;
  return {scale.centre - QPoint(0, from_centre + scale.minor_tick_length / 2), false, 1};
}

// A dial's first major tick, pointing left from the centre (half-circle dials), halfway along.
ProbedLine LeftDialTick(const TScaleLayout& scale) {
  return {scale.centre - QPoint(scale.radius - scale.label_gap - scale.tick_length / 2, 0), true,
          scale.major_pen_width};
}

// The right edge of a value box's frame: its two lowered rings in the highlight colour, a third
// of the text height right of the text area.
ProbedLine ValueBoxFrame(const QRect& text_area) {
  return {QPoint(text_area.right() + 1 + text_area.height() / 3, text_area.center().y()), false, 2,
          clBtnHighlight};
}

struct LineProbe {
  const char* name;
  std::function<std::unique_ptr<TGxAnalogGControl>()> make;
  float value;  // keeps the pointer and the markers off the probed line
  std::function<ProbedLine(TGxAnalogGControl&)> line;
};

template <typename T>
T& As(TGxAnalogGControl& gauge) {
  return dynamic_cast<T&>(gauge);
}

TEST(RatioTwo, AOnePixelLineIsTwoDevicePixelsWideWithoutGreyEdges) {
  auto dial_up = [](TGxAnalogGControl& g) {
    return UprightDialTick(As<TGxRMeter>(g).ScaleSettings()->Layout());
  };
  auto vertical_meter = [](TGxAnalogGControl& g) {
    const TScaleLayout& scale = As<TGxVMeter>(g).ScaleSettings()->Layout();
    return StraightTick(scale, scale.rect.Left, 1);
  };
  auto thermometer = [](TGxAnalogGControl& g) {  // the scale right of the column
    const TScaleLayout& scale = As<TGxThermometer>(g).ScaleSettings()->Layout();
    return StraightTick(scale, scale.rect.Left, 1);
  };
  auto indicator = [](TGxAnalogGControl& g) {
    return ValueBoxFrame(As<TGxValueInd>(g).TextArea());
  };
  const LineProbe probes[] = {
      {"VS_Speed", [] { return setups::MakeVS_Speed(); }, 0.0f, dial_up},
      {"VS_Nmot", [] { return setups::MakeVS_Nmot(); }, 35.0f,
       [](TGxAnalogGControl& g) {
         return LeftDialTick(As<TGxRMeter>(g).ScaleSettings()->Layout());
       }},
      {"VS_Ub", [] { return setups::MakeVS_Ub(); }, 6.0f, dial_up},
      {"VI_Speed", [] { return setups::MakeVI_Speed(); }, 88.0f, indicator},
      {"VI_Nmot", [] { return setups::MakeVI_Nmot(); }, 850.0f, indicator},
      {"VI_Ub", [] { return setups::MakeVI_Ub(); }, 12.0f, indicator},
      {"VS_TOG", [] { return setups::MakeVS_TOG(); }, -40.0f, thermometer},
      {"VS_TANS", [] { return setups::MakeVS_TANS(); }, -30.0f, thermometer},
      {"VS_THR", [] { return setups::MakeVS_THR(); }, 0.0f, vertical_meter},
      {"VS_MRV", [] { return setups::MakeVS_MRV(); }, 30.0f, vertical_meter},
      {"VS_DV", [] { return setups::MakeVS_DV(); }, 0.0f, vertical_meter},
  };
  for (const LineProbe& probe : probes) {
    SCOPED_TRACE(probe.name);
    auto gauge = probe.make();
    gauge->SetValue(probe.value);
    const QImage image = Render(*gauge);
    ASSERT_EQ(image.size(), gauge->size() * 2);
    const ProbedLine line = probe.line(*gauge);
    const LineCut cut = CutAcross(image, line.p, line.horizontal, ToQColor(line.colour).rgb());
    EXPECT_EQ(cut.width, 2 * line.width);
    EXPECT_TRUE(cut.clean_edges);
  }
}

}  // namespace
}  // namespace m797::gauges
