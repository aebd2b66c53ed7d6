#pragma once

#include "session/settings_store.h"

namespace m797::cli {

// The window's settings, read and never written: the console program takes its defaults from
// them but leaves them as the window stored them.
class ReadOnlySettings final : public session::SettingsStore {
 public:
  explicit ReadOnlySettings(session::SettingsStore& stored) : stored_(stored) {}

  int ReadInteger(const std::string& section, const std::string& ident, int fallback) override {
    return stored_.ReadInteger(section, ident, fallback);
  }
  void WriteInteger(const std::string&, const std::string&, int) override {}

 private:
  session::SettingsStore& stored_;
};

}  // namespace m797::cli
