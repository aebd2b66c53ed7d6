#pragma once

#include <functional>

namespace m797::gauges {

// Base of every settings object: one change notification that the owner connects to.  Setters
// store a new value only when it differs from the current one and then call Changed.
class TGxPersistent {
 public:
  using TNotifyEvent = std::function<void(TGxPersistent* sender)>;

  TGxPersistent() = default;
  TGxPersistent(const TGxPersistent&) = delete;
  TGxPersistent& operator=(const TGxPersistent&) = delete;
  virtual ~TGxPersistent() = default;

  const TNotifyEvent& OnChange() const { return on_change_; }
  void SetOnChange(TNotifyEvent handler) { on_change_ = std::move(handler); }

 protected:
  // Raises OnChange when it is assigned.
  virtual void Changed() {
    if (on_change_) on_change_(this);
  }

  template <typename T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }

 private:
  TNotifyEvent on_change_;
};

}  // namespace m797::gauges
