#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "session/settings_store.h"

namespace m797::qt_adapters {

// Where the tester's settings live on a platform.
struct SettingsPlace {
  enum class Kind {
    NativePath,             // `name` is a native path, opened as it is
    OrganisationOfTheUser,  // `name` is an organisation; its native place for the current user
  };
  Kind kind;
  QString name;
};

enum class SettingsPlatform { Windows, Unix };

#ifdef Q_OS_WIN
inline constexpr SettingsPlatform kThisPlatform = SettingsPlatform::Windows;
#else
inline constexpr SettingsPlatform kThisPlatform = SettingsPlatform::Unix;
#endif

// On Windows the registry key HKEY_CURRENT_USER\SOFTWARE\TARKON, where earlier installations keep
// their values; elsewhere the organisation "TARKON", whose native place on Linux is the file
// $XDG_CONFIG_HOME/TARKON.conf (~/.config/TARKON.conf by default).
SettingsPlace SettingsPlaceFor(SettingsPlatform platform);

// The tester's settings on QSettings at SettingsPlaceFor(kThisPlatform).  A section is a group,
// which on Windows is a registry subkey: the section "Vestrel" lives under the key
// HKEY_CURRENT_USER\SOFTWARE\TARKON\Vestrel there, and in the group [Vestrel] of
// $XDG_CONFIG_HOME/TARKON.conf on Linux.  Values are stored as decimal text; each write is
// flushed at once.
class QtSettingsStore final : public session::SettingsStore {
 public:
  QtSettingsStore();

  int ReadInteger(const std::string& section, const std::string& ident, int fallback) override;
  void WriteInteger(const std::string& section, const std::string& ident, int value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace m797::qt_adapters
