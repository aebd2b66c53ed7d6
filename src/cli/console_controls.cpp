#include "cli/console_controls.h"

namespace m797::cli {

using session::Memo;
using session::Selector;

int ConsoleControls::ItemIndex(Selector selector) const {
  return selector == Selector::ComboBox1 ? port_index_ : type_index_;
}

void ConsoleControls::SetItemIndex(Selector selector, int index) {
  const int items = selector == Selector::ComboBox1 ? kPortItems : kTypeItems;
  (selector == Selector::ComboBox1 ? port_index_ : type_index_) =
      index >= 0 && index < items ? index : -1;
}

void ConsoleControls::SetLabel10Caption(const std::string& caption) {
  link_caption_ = caption;
  if (on_link_caption) on_link_caption();
}

void ConsoleControls::SetMemoLines(Memo memo, const std::vector<std::string>& lines) {
  (memo == Memo::Memo1 ? current_codes_ : stored_codes_) = lines;
  if (on_memo_change) on_memo_change();
}

void ConsoleControls::SetGaugeValue(session::Gauge gauge, float value) {
  gauges_[static_cast<int>(gauge)] = value;
  if (on_gauge_write) on_gauge_write(gauge, value);
}

const std::vector<std::string>& ConsoleControls::memo(Memo memo) const {
  return memo == Memo::Memo1 ? current_codes_ : stored_codes_;
}

std::optional<float> ConsoleControls::gauge(session::Gauge gauge) const {
  return gauges_[static_cast<int>(gauge)];
}

}  // namespace m797::cli
