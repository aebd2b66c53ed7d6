#pragma once

#include <string>
#include <vector>

namespace m797::session {

// The gauges of the live-data page that the session writes.
enum class Gauge {
  VS_Speed,
  VI_Speed,
  VS_Nmot,
  VI_Nmot,
  VS_TOG,
  VS_TANS,
  VS_Ub,
  VI_Ub,
  VS_THR,
  VS_MRV,
  VS_DV,
};
inline constexpr int kGaugeCount = 11;

enum class Selector { ComboBox1, ComboBox2 };
enum class Memo { Memo1, Memo2 };

// The port selector's items, COM1 .. COM8.
inline constexpr int kPortCount = 8;
// The pages of the page control whose requests the session cycles through.
inline constexpr int kLiveDataPage = 0;
inline constexpr int kTroubleCodePage = 1;

// The controls of the main window that the session reads and writes.  Texts are UTF-8.
class SessionControls {
 public:
  virtual ~SessionControls() = default;

  // The start/stop button; its caption is the testing state.
  virtual std::string ToolButton1Caption() const = 0;
  virtual void SetToolButton1Caption(const std::string& caption) = 0;

  // Port and controller-type selectors.  Setting an index outside the items leaves no selection,
  // which reads back as -1.
  virtual int ItemIndex(Selector selector) const = 0;
  virtual void SetItemIndex(Selector selector, int index) = 0;
  virtual void SetSelectorEnabled(Selector selector, bool enabled) = 0;

  // The link status label.
  virtual void SetLabel10Caption(const std::string& caption) = 0;

  // Index of the active page of the page control, -1 when none is active.
  virtual int ActivePageIndex() const = 0;

  // The fault lists: a list shows exactly these lines afterwards.  A list that shows them already
  // is left as it is (its scroll position, selection and caret with it), as a gauge ignores an
  // unchanged value.
  virtual void SetMemoLines(Memo memo, const std::vector<std::string>& lines) = 0;

  // A gauge ignores a value equal to the one it shows.
  virtual void SetGaugeValue(Gauge gauge, float value) = 0;
};

}  // namespace m797::session
