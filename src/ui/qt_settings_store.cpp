#include "ui/qt_settings_store.h"

namespace m797::ui {

namespace {

QString Key(const std::string& section, const std::string& ident) {
  return QString::fromStdString(section) + '/' + QString::fromStdString(ident);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TARKON")) {}

int QtSettingsStore::ReadInteger(const std::string& section, const std::string& ident,
                                 int fallback) {
  const QVariant value = settings_.value(Key(section, ident));
  if (!value.isValid()) return fallback;
  bool ok = false;
  const int number = value.toString().toInt(&ok, 10);
  return ok ? number : fallback;
}

void QtSettingsStore::WriteInteger(const std::string& section, const std::string& ident,
                                   int value) {
  settings_.setValue(Key(section, ident), QString::number(value));
  settings_.sync();
}

}  // namespace m797::ui
