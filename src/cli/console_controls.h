#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/session_controls.h"
#include "session/session_texts.h"

namespace m797::cli {

// The main window's controls as the console program keeps them: plain values that behave like the
// widgets where the session relies on it (a selector set outside its items shows no selection),
// and hooks through which the program follows what the session shows.
class ConsoleControls final : public session::SessionControls {
 public:
  static constexpr int kPortItems = 8;  // COM1 .. COM8
  static constexpr int kTypeItems = 3;  // "Type 1" .. "Type 3"

  std::string ToolButton1Caption() const override { return caption_; }
  void SetToolButton1Caption(const std::string& caption) override { caption_ = caption; }

  int ItemIndex(session::Selector selector) const override;
  void SetItemIndex(session::Selector selector, int index) override;
  void SetSelectorEnabled(session::Selector, bool) override {}

  void SetLabel10Caption(const std::string& caption) override;
  int ActivePageIndex() const override { return active_page_; }

  void SetMemoLines(session::Memo memo, const std::vector<std::string>& lines) override;

  // Every write counts, also of an unchanged value: it says the quantity was read again.
  void SetGaugeValue(session::Gauge gauge, float value) override;

  void SetActivePageIndex(int page) { active_page_ = page; }
  bool Testing() const { return caption_ == session::kStopCaption; }
  const std::string& link_caption() const { return link_caption_; }
  const std::vector<std::string>& memo(session::Memo memo) const;
  std::optional<float> gauge(session::Gauge gauge) const;

  // Called after the change they name.
  std::function<void(session::Gauge, float)> on_gauge_write;
  std::function<void()> on_link_caption;
  // An answer with trouble codes has been shown: called each time a list is given its lines.
  std::function<void()> on_memo_change;

 private:
  std::string caption_ = session::kStartCaption;
  int port_index_ = -1;
  int type_index_ = -1;
  std::string link_caption_ = session::kLinkDownCaption;
  int active_page_ = 0;
  std::vector<std::string> current_codes_;
  std::vector<std::string> stored_codes_;
  std::array<std::optional<float>, session::kGaugeCount> gauges_{};
};

}  // namespace m797::cli
