#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

#include "gauges/bevel.h"
#include "gauges/gx_color.h"
#include "gauges/gx_font.h"
#include "gauges/gx_persistent.h"
#include "gauges/gx_set.h"

namespace m797::gauges {

enum class TBarStyle { bsBar, bsLED_Bar, bsPoint };
enum class TBarOption { opValue, opUnit, opUseSectorCol, opBidir };
using TBarOptions = TGxSet<TBarOption>;

// The column of a thermometer: its style, colours, frame, minimum size, and the text it may
// carry.  Draw renders the column for a scale position into a bitmap of the column's size.
class TBarSettings : public TGxPersistent {
 public:
  TBarSettings();

  TBarStyle Style() const { return style_; }
  void SetStyle(TBarStyle v) { Store(style_, v); }
  TGxFont* Font() const { return font_.get(); }
  TBarOptions Options() const { return options_; }
  void SetOptions(TBarOptions v) { Store(options_, v); }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { Store(color_, v); }
  TColor BkColor() const { return bk_color_; }
  void SetBkColor(TColor v) { Store(bk_color_, v); }
  TGxSBevel* Bevel() const { return bevel_.get(); }
  std::int32_t minHeight() const { return min_height_; }
  void SetminHeight(std::int32_t v);  // values <= 0 are ignored
  std::int32_t minWidth() const { return min_width_; }
  void SetminWidth(std::int32_t v);  // values <= 0 are ignored

  // Set by the owner: the position of the value 0, where a bidirectional column starts.
  std::int32_t ZeroPPT() const { return zero_ppt_; }
  void SetZeroPPT(std::int32_t v) { zero_ppt_ = v; }

  // The column at position ppt (0..1000), filled in `fill`, with the value and unit texts when
  // the options ask for them, as an image of `size` control pixels at a device pixel ratio.  A
  // column wider than high is drawn lying, growing to the right.
  QImage Draw(QSize size, int ppt, TColor fill, const QString& value_text, const QString& unit_text,
              qreal ratio = 1.0) const;

 private:
  void DrawUpright(QImage& image, QSize size, int ppt, TColor fill) const;
  void DrawText(QImage& image, QSize size, const QString& value_text,
                const QString& unit_text) const;

  TBarStyle style_ = TBarStyle::bsBar;
  std::unique_ptr<TGxFont> font_;
  TBarOptions options_;
  TColor color_ = clLime;
  TColor bk_color_ = clBlack;
  std::unique_ptr<TGxSBevel> bevel_;
  std::int32_t min_height_ = 5;
  std::int32_t min_width_ = 5;
  std::int32_t zero_ppt_ = 0;
};

}  // namespace m797::gauges
