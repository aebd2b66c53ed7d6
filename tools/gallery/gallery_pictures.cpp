#include "gallery_pictures.h"

#include <functional>
#include <memory>

#include "ui/form1_gauges.h"

namespace m797::gauges::gallery {

namespace setups = ui::form1;

namespace {

struct Sample {
  const char* name;
  std::function<std::unique_ptr<TGxAnalogGControl>()> make;
  std::vector<float> values;
};

}  // namespace

std::vector<GalleryPicture> RenderGallery() {
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
  std::vector<GalleryPicture> pictures;
  for (const Sample& sample : samples) {
    auto gauge = sample.make();
    gauge->move(0, 0);
    for (float value : sample.values) {
      gauge->SetValue(value);
      pictures.push_back(
          {QString("%1_%2").arg(sample.name).arg(value, 0, 'f', 1), gauge->grab().toImage()});
    }
  }
  return pictures;
}

}  // namespace m797::gauges::gallery
