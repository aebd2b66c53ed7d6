// Where the store keeps the settings on each platform, and the settings file in a private
// configuration folder, read back as text and through the store.
#include "qt_adapters/qt_settings_store.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

namespace m797::qt_adapters {
namespace {

TEST(SettingsPlace, WindowsOpensTheRegistryKeyOfEarlierInstallations) {
  // QSettings for the organisation "TARKON" alone would use the key
  // HKCU\Software\TARKON\OrganizationDefaults; earlier installations keep their values right
  // below SOFTWARE\TARKON.
  const SettingsPlace place = SettingsPlaceFor(SettingsPlatform::Windows);
  EXPECT_EQ(place.kind, SettingsPlace::Kind::NativePath);
  EXPECT_EQ(place.name.toStdString(), R"(HKEY_CURRENT_USER\SOFTWARE\TARKON)");
}

TEST(SettingsPlace, ElsewhereTheUsersFileOfTheOrganisation) {
  const SettingsPlace place = SettingsPlaceFor(SettingsPlatform::Unix);
  EXPECT_EQ(place.kind, SettingsPlace::Kind::OrganisationOfTheUser);
  EXPECT_EQ(place.name.toStdString(), "TARKON");
}

class QtSettingsStoreTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // QSettings reads the configuration folder once per process, so it is set before first use.
    dir_ = new QTemporaryDir();
    setenv("XDG_CONFIG_HOME", dir_->path().toLocal8Bit().constData(), 1);
  }
  static void TearDownTestSuite() { delete dir_; }

  static QString FilePath() { return dir_->path() + "/TARKON.conf"; }
  static void WriteFile(const QByteArray& text) {
    QFile file(FilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }
  static QByteArray ReadFile() {
    QFile file(FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  static QTemporaryDir* dir_;
};

QTemporaryDir* QtSettingsStoreTest::dir_ = nullptr;

TEST_F(QtSettingsStoreTest, TheFileIsTarkonConfInTheConfigurationFolder) {
  EXPECT_EQ(SettingsPlaceFor(kThisPlatform).kind, SettingsPlace::Kind::OrganisationOfTheUser);
  QFile::remove(FilePath());
  QtSettingsStore store;
  store.WriteInteger("Vestrel", "COM", 1);
  EXPECT_TRUE(QFile::exists(FilePath()));
}

TEST_F(QtSettingsStoreTest, AbsentFileAndValuesGiveTheFallback) {
  QFile::remove(FilePath());
  QtSettingsStore store;
  EXPECT_EQ(store.ReadInteger("Vestrel", "COM", -1), -1);
  EXPECT_EQ(store.ReadInteger("Vestrel", "TYPE", 7), 7);
}

TEST_F(QtSettingsStoreTest, WritesDecimalTextInTheVestrelGroup) {
  QFile::remove(FilePath());
  {
    QtSettingsStore store;
    store.WriteInteger("Vestrel", "COM", 3);
    store.WriteInteger("Vestrel", "TYPE", -1);
  }
  const QByteArray text = ReadFile();
  EXPECT_TRUE(text.contains("[Vestrel]")) << text.constData();
  EXPECT_TRUE(text.contains("COM=3")) << text.constData();
  EXPECT_TRUE(text.contains("TYPE=-1")) << text.constData();
  QtSettingsStore again;
  EXPECT_EQ(again.ReadInteger("Vestrel", "COM", -1), 3);
  EXPECT_EQ(again.ReadInteger("Vestrel", "TYPE", 0), -1);
}

TEST_F(QtSettingsStoreTest, TextThatIsNotANumberGivesTheFallback) {
  WriteFile("[Vestrel]\nCOM=COM3\nTYPE=2x\n");
  QtSettingsStore store;
  EXPECT_EQ(store.ReadInteger("Vestrel", "COM", -1), -1);
  EXPECT_EQ(store.ReadInteger("Vestrel", "TYPE", -1), -1);
  WriteFile("[Vestrel]\nCOM=9\nTYPE=1\n");
  QtSettingsStore reread;
  EXPECT_EQ(reread.ReadInteger("Vestrel", "COM", -1), 9);
  EXPECT_EQ(reread.ReadInteger("Vestrel", "TYPE", -1), 1);
}

}  // namespace
}  // namespace m797::qt_adapters
