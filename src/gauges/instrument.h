#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

#include "gauges/analog_control.h"
#include "gauges/bevel.h"
#include "gauges/draw_helpers.h"
#include "gauges/gx_set.h"
#include "gauges/scale_settings.h"

class QPainter;

namespace m797::gauges {

// The common base of the instruments.  It holds what every one of them has: the frame (outer and
// inner bevel, captions), AutoSize, the scale of those that have one, the alarm of those that
// flash, and the moving parts (pointer or column, min and max markers), which each value pass
// redraws over the background copy that the full repaint captured.  An instrument says which
// parts it shows and paints its own shapes; a pass that would draw exactly what the area already
// shows draws nothing.
class TGxInstrument : public TGxAnalogGControl {
  Q_OBJECT

 public:
  void Loaded() override;

  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on) { StoreOption(auto_size_, on); }
  TGxSBevel* BevelInner() const { return bevel_inner_.get(); }
  TGxSBevel* BevelOuter() const { return bevel_outer_.get(); }

  // The state of the last full repaint and of the alarm.
  bool TooSmall() const { return too_small_; }
  bool Alarm() const { return alarm_; }
  TColor CurrentBlinkColor() const { return current_blink_color_; }

  void BlinkMessage(std::uint32_t counter, int state) override;

 protected:
  struct TKind {
    QSize default_size;
    bool scale;             // has ScaleSettings (published by the instrument)
    bool alarm;             // flashes its pointer in alarm
    bool alarm_needs_room;  // evaluates its alarm only while there is room to draw
  };
  // The parts of the frame and of the value display that the options show.
  struct TParts {
    bool bevel_outer, bevel_inner, name1, name2, value, unit;
  };
  // What the moving parts show; equal states draw equal pixels.
  struct TPointerState {
    int ppt;
    TColor fill;
    bool alarm;
    QString text;
    bool operator==(const TPointerState&) const = default;
  };
  struct TMarkerState {
    int min_ppt, max_ppt;
    bool min_visible, max_visible;
    TColor min_color, max_color;
    bool operator==(const TMarkerState&) const = default;
  };

  TGxInstrument(const TKind& kind, QWidget* parent);

  TScaleSettings* ScaleSettings() const { return scale_settings_.get(); }

  // Stores a changed option and calls OptionsChanged.
  template <typename T>
  void StoreOption(T& field, const T& value) {
    if (field == value) return;
    field = value;
    OptionsChanged();
  }
  virtual void OptionsChanged() { RequestRepaint(); }
  virtual TParts Parts() const = 0;
  // The parts that an instrument's options show: their members bear the same names.
  template <typename Option>
  static TParts PartsOf(TGxSet<Option> options, bool value) {
    return {options.Contains(Option::opBevelOuter),
            options.Contains(Option::opBevelInner),
            options.Contains(Option::opName1),
            options.Contains(Option::opName2),
            value,
            options.Contains(Option::opUnit)};
  }

  void SettingsChanged() override;
  void ValueChanged() override;
  void LogScaleChanged() override;
  // During a value pass the position still holds the raw value.
  void OverflowChanged() override { EvaluateAlarm(PPT() < 0 || PPT() > 1000); }
  void LimitChanged() override { EvaluateAlarm(PPT() < 0 || PPT() > 1000); }

  // The alarm: the options that raise it, and how a blink is shown (by default the moving parts
  // drawn again in the new colour).
  virtual bool AlarmOnOverflow() const { return false; }
  virtual bool AlarmOnLimit() const { return false; }
  virtual bool AcceptsBlink() const { return kind_.alarm; }
  virtual void ShowBlink() { DrawMovingParts(); }

  // The outer bevel and the captions, from the control's rectangle; returns the rest.
  TRect PaintFrame(QPainter& painter);
  // Grows a size by the captions shown, each at least as wide as `outer` plus its own width.
  void AddCaptionSizes(int outer, int& w, int& h) const;
  // The room that the outer and the inner bevel take across both sides (0 when not shown).
  struct TBevelWidths {
    int outer, inner;
  };
  TBevelWidths BevelWidths() const;
  void SetTooSmall(bool too_small) { too_small_ = too_small; }
  // With AutoSize the instrument takes the size its calculation found.
  void ApplyAutoSize(QSize wanted) {
    if (auto_size_ && size() != wanted) resize(wanted);
  }

  // The area of the control that the moving parts move in (empty: none); captured at the end of
  // each full repaint that follows an invalidation.
  virtual QRect MovingArea() const { return QRect(); }
  // The columns of the area that a pass redraws, in background coordinates.
  virtual QRect MovingStrip() const;
  virtual TPointerState PointerState() const { return {}; }
  // Both paint in background coordinates.
  virtual void PaintMarkers(QPainter&, const TMarkerState&) const {}
  virtual void PaintPointer(QPainter&, const TPointerState&) const {}
  void DrawMovingParts();
  // The next pass draws the moving parts again (the pointer was drawn elsewhere).
  void ForgetMovingParts() { drawn_.reset(); }

  void PaintFinished() override;

  TScaleLayout scale_measured_;  // the scale as the last size calculation measured it
  TScaleLayout scale_;           // the scale as the last full repaint laid it out

 private:
  void EvaluateAlarm(bool out_of_scale);

  TKind kind_;
  bool auto_size_ = true;
  std::unique_ptr<TGxSBevel> bevel_inner_;
  std::unique_ptr<TGxSBevel> bevel_outer_;
  std::unique_ptr<TScaleSettings> scale_settings_;
  bool too_small_ = false;
  bool alarm_ = false;
  TColor current_blink_color_ = kBlinkColor1;
  std::optional<std::pair<TMarkerState, TPointerState>> drawn_;
};

}  // namespace m797::gauges
