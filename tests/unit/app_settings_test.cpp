#include <gtest/gtest.h>

#include "app/settings.h"
#include "platform/fake/fake_registry.h"
#include "system/text.h"

namespace orvello {
namespace {

using platform::RegistryRoot;

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() : settings_(registry_) { settings_.SetRegistryKey(L"QOVA", L"Orvello"); }
  fake::FakeRegistry registry_;
  ProfileSettings settings_;
};

TEST_F(SettingsTest, MissingKeyGivesTheDefaults) {
  EXPECT_EQ(settings_.ReadInt(kSettingsSection, kValueSetupMode, 0), 0);
  EXPECT_EQ(settings_.ReadInt(kSettingsSection, kValueSetupPortType, 7), 7);
  EXPECT_EQ(settings_.ReadString(kSettingsSection, kValueSetupPrinter, L""), L"");
  EXPECT_FALSE(registry_.KeyExists(RegistryRoot::CurrentUser, L"software\\QOVA"));
}

TEST_F(SettingsTest, WritesCreateEveryLevelAndReadBack) {
  EXPECT_TRUE(settings_.WriteInt(kSettingsSection, kValueSetupPortType, 6));
  EXPECT_TRUE(settings_.WriteString(kSettingsSection, kValueSetupPrinter, std::wstring(L"TX-420B 打印机")));
  EXPECT_TRUE(registry_.KeyExists(RegistryRoot::CurrentUser, L"Software\\qova\\ORVELLO\\SetupMode"));
  EXPECT_EQ(settings_.ReadInt(kSettingsSection, kValueSetupPortType, 0), 6);
  EXPECT_EQ(settings_.ReadString(kSettingsSection, kValueSetupPrinter, L""), L"TX-420B 打印机");

  auto raw = registry_.QueryValue(RegistryRoot::CurrentUser, L"software\\QOVA\\Orvello\\SetupMode", L"SetupPortType");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw.value.type, platform::RegistryType::Dword);
  EXPECT_EQ(raw.value.data, (std::vector<uint8_t>{6, 0, 0, 0}));
  auto text = registry_.QueryValue(RegistryRoot::CurrentUser, L"software\\QOVA\\Orvello\\SetupMode", L"SetupPrinter");
  ASSERT_TRUE(text);
  EXPECT_EQ(text.value.type, platform::RegistryType::String);
  EXPECT_EQ(text.value.data, WideToUtf16Bytes(L"TX-420B 打印机", true));  // REG_SZ with its terminator
}

TEST_F(SettingsTest, NullTextDeletesTheValue) {
  settings_.WriteString(kSettingsSection, kValueDeletePrinter, std::wstring(L"Old"));
  EXPECT_TRUE(settings_.WriteString(kSettingsSection, kValueDeletePrinter, std::nullopt));
  EXPECT_EQ(settings_.ReadString(kSettingsSection, kValueDeletePrinter, L"gone"), L"gone");
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeReadAsDefaults) {
  settings_.WriteString(kSettingsSection, kValueSetupMode, std::wstring(L"2"));
  settings_.WriteInt(kSettingsSection, kValueManufacturer, 5);
  EXPECT_EQ(settings_.ReadInt(kSettingsSection, kValueSetupMode, 0), 0);
  EXPECT_EQ(settings_.ReadString(kSettingsSection, kValueManufacturer, L""), L"");
}

}  // namespace
}  // namespace orvello
