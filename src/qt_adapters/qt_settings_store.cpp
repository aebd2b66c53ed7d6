#include "qt_adapters/qt_settings_store.h"

namespace m797::qt_adapters {

namespace {

QString Key(const std::string& section, const std::string& ident) {
  return QString::fromStdString(section) + '/' + QString::fromStdString(ident);
}

std::unique_ptr<QSettings> OpenSettings(const SettingsPlace& place) {
  if (place.kind == SettingsPlace::Kind::NativePath) {
    return std::make_unique<QSettings>(place.name, QSettings::NativeFormat);
  }
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, place.name);
}

}  // namespace

SettingsPlace SettingsPlaceFor(SettingsPlatform platform) {
  if (platform == SettingsPlatform::Windows) {
    return {SettingsPlace::Kind::NativePath, QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\TARKON")};
  }
  return {SettingsPlace::Kind::OrganisationOfTheUser, QStringLiteral("TARKON")};
}

QtSettingsStore::QtSettingsStore() : settings_(OpenSettings(SettingsPlaceFor(kThisPlatform))) {}

int QtSettingsStore::ReadInteger(const std::string& section, const std::string& ident,
                                 int fallback) {
  const QVariant value = settings_->value(Key(section, ident));
  if (!value.isValid()) return fallback;
  bool ok = false;
  const int number = value.toString().toInt(&ok, 10);
  return ok ? number : fallback;
}

void QtSettingsStore::WriteInteger(const std::string& section, const std::string& ident,
                                   int value) {
  settings_->setValue(Key(section, ident), QString::number(value));
  settings_->sync();
}

}  // namespace m797::qt_adapters
