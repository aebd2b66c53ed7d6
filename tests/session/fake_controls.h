#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/session_controls.h"
#include "session/session_texts.h"
#include "session/settings_store.h"

namespace m797::session::test {

// The main window's controls as plain values, behaving like the widgets where the session
// depends on it: a selector set outside its items shows no selection, and a gauge counts only
// writes that change its value.
class FakeControls final : public SessionControls {
 public:
  static constexpr int kPortItems = 8;
  static constexpr int kTypeItems = 3;

  std::string ToolButton1Caption() const override { return caption; }
  void SetToolButton1Caption(const std::string& c) override { caption = c; }

  int ItemIndex(Selector s) const override { return selector(s).index; }
  void SetItemIndex(Selector s, int index) override {
    const int items = s == Selector::ComboBox1 ? kPortItems : kTypeItems;
    selector(s).index = index >= 0 && index < items ? index : -1;
  }
  void SetSelectorEnabled(Selector s, bool enabled) override { selector(s).enabled = enabled; }

  void SetLabel10Caption(const std::string& c) override { label10 = c; }
  int ActivePageIndex() const override { return active_page; }

  void SetMemoLines(Memo m, const std::vector<std::string>& lines) override { memo(m) = lines; }

  void SetGaugeValue(Gauge g, float value) override {
    auto& gauge = gauges[static_cast<int>(g)];
    if (gauge.value == value) return;
    gauge.value = value;
    ++gauge.changes;
    gauge_history.emplace_back(g, value);
  }

  struct SelectorState {
    int index = -1;
    bool enabled = true;
  };
  struct GaugeState {
    std::optional<float> value;
    int changes = 0;
  };

  SelectorState& selector(Selector s) { return s == Selector::ComboBox1 ? port : type; }
  const SelectorState& selector(Selector s) const { return s == Selector::ComboBox1 ? port : type; }
  std::vector<std::string>& memo(Memo m) { return m == Memo::Memo1 ? memo1 : memo2; }
  std::optional<float> gauge(Gauge g) const { return gauges[static_cast<int>(g)].value; }

  std::string caption = kStartCaption;
  SelectorState port;
  SelectorState type;
  std::string label10 = kLinkDownCaption;
  int active_page = 0;
  std::vector<std::string> memo1;
  std::vector<std::string> memo2;
  std::array<GaugeState, kGaugeCount> gauges{};
  std::vector<std::pair<Gauge, float>> gauge_history;  // every write that changed a gauge
};

// Settings held in memory, as the stored text.
class MemorySettings final : public SettingsStore {
 public:
  int ReadInteger(const std::string& section, const std::string& ident, int fallback) override {
    auto it = values.find(section + "/" + ident);
    if (it == values.end()) return fallback;
    try {
      std::size_t used = 0;
      const int value = std::stoi(it->second, &used);
      return used == it->second.size() ? value : fallback;
    } catch (...) {
      return fallback;
    }
  }
  void WriteInteger(const std::string& section, const std::string& ident, int value) override {
    values[section + "/" + ident] = std::to_string(value);
  }
  std::map<std::string, std::string> values;
};

}  // namespace m797::session::test
