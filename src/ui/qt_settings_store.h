#pragma once

#include <QSettings>

#include "session/settings_store.h"

namespace m797::ui {

// The tester's settings on QSettings in the platform's native place for the organisation
// "TARKON": the registry key SOFTWARE\TARKON on Windows, $XDG_CONFIG_HOME/TARKON.conf on Linux.
// Sections are groups; values are stored as decimal text.
class QtSettingsStore final : public session::SettingsStore {
 public:
  QtSettingsStore();

  int ReadInteger(const std::string& section, const std::string& ident, int fallback) override;
  void WriteInteger(const std::string& section, const std::string& ident, int value) override;

 private:
  QSettings settings_;
};

}  // namespace m797::ui
