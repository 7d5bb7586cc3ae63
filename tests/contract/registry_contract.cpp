// The registry as the program uses it: per-user keys created level by level,
// REG_DWORD and REG_SZ values, missing keys and values, letter case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/contract_env.h"
#include "system/text.h"

namespace orvello::test {
namespace {

using platform::IRegistry;
using platform::RegistryRoot;
using platform::RegistryType;
using platform::RegistryValue;
namespace err = platform::err;

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

RegistryValue Dword(uint32_t number) {
  RegistryValue v{RegistryType::Dword, std::vector<uint8_t>(4)};
  std::memcpy(v.data.data(), &number, 4);
  return v;
}

RegistryValue Text(const std::wstring& text) { return {RegistryType::String, WideToUtf16Bytes(text, true)}; }

class RegistryContract : public ::testing::Test {
 protected:
  // Every case works below its own key and removes what it made.
  std::wstring Key(const std::wstring& below = L"") {
    std::wstring path = base_ + (below.empty() ? L"" : L"\\" + below);
    made_.push_back(path);
    return path;
  }
  void TearDown() override {
    made_.push_back(base_);
    std::sort(made_.begin(), made_.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    for (const auto& path : made_) registry.DeleteKey(kUser, path);
    registry.DeleteKey(kUser, kRoot);  // fails while another run still has keys there
  }

  static constexpr const wchar_t* kRoot = L"Software\\OrvelloContract";
  IRegistry& registry = Env().platform().registry;
  std::wstring base_ = std::wstring(kRoot) + L"\\" +
                       Utf8ToWide(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::vector<std::wstring> made_;
};

TEST_F(RegistryContract, CreateKeyMakesEveryMissingLevel) {
  Key(L"a");
  Key(L"a\\b");
  ASSERT_TRUE(registry.CreateKey(kUser, Key(L"a\\b\\c")).ok());
  EXPECT_TRUE(registry.KeyExists(kUser, Key(L"a")));
  EXPECT_TRUE(registry.KeyExists(kUser, Key(L"a\\b")));
  EXPECT_TRUE(registry.KeyExists(kUser, Key(L"a\\b\\c")));
  EXPECT_FALSE(registry.KeyExists(kUser, Key(L"a\\x")));
  EXPECT_TRUE(registry.CreateKey(kUser, Key(L"a\\b\\c")).ok()) << "creating an existing key opens it";
}

TEST_F(RegistryContract, ValuesComeBackWithTypeAndBytes) {
  struct Case {
    const wchar_t* name;
    RegistryValue value;
  };
  const Case cases[] = {
      {L"Zero", Dword(0)},
      {L"AllBits", Dword(0xFFFFFFFFu)},
      {L"PortType", Dword(6)},
      {L"Empty", Text(L"")},
      {L"Model", Text(L"Lumatrix A6 (USB)")},
      {L"Raw", {RegistryType::Binary, {0x00, 0x01, 0xFE, 0xFF}}},
  };
  std::wstring key = Key(L"values");
  for (const auto& c : cases) ASSERT_TRUE(registry.SetValue(kUser, key, c.name, c.value).ok()) << WideToUtf8(c.name);
  for (const auto& c : cases) {
    auto read = registry.QueryValue(kUser, key, c.name);
    ASSERT_TRUE(read.ok()) << WideToUtf8(c.name) << " error " << read.error;
    EXPECT_EQ(read.value.type, c.value.type) << WideToUtf8(c.name);
    EXPECT_EQ(read.value.data, c.value.data) << WideToUtf8(c.name);
  }
  // Writing again replaces both the type and the bytes.
  ASSERT_TRUE(registry.SetValue(kUser, key, L"PortType", Text(L"six")).ok());
  auto replaced = registry.QueryValue(kUser, key, L"PortType");
  EXPECT_EQ(replaced.value.type, RegistryType::String);
  EXPECT_EQ(Utf16BytesToWide(replaced.value.data), L"six");
}

TEST_F(RegistryContract, SetValueCreatesTheMissingKeys) {
  Key(L"new");
  std::wstring deep = Key(L"new\\deeper");
  ASSERT_FALSE(registry.KeyExists(kUser, deep));
  ASSERT_TRUE(registry.SetValue(kUser, deep, L"SetupMode", Dword(2)).ok());
  EXPECT_TRUE(registry.KeyExists(kUser, deep));
  EXPECT_EQ(registry.QueryValue(kUser, deep, L"SetupMode").value.data, Dword(2).data);
}

TEST_F(RegistryContract, MissingKeysAndValuesFailWithFileNotFound) {
  std::wstring key = Key(L"present");
  ASSERT_TRUE(registry.SetValue(kUser, key, L"There", Dword(1)).ok());
  EXPECT_EQ(registry.QueryValue(kUser, key, L"Absent").error, err::kFileNotFound);
  EXPECT_EQ(registry.QueryValue(kUser, Key(L"absent"), L"There").error, err::kFileNotFound);
  EXPECT_EQ(registry.QueryValue(kUser, Key(L"absent\\deeper"), L"There").error, err::kFileNotFound);
  EXPECT_EQ(registry.DeleteValue(kUser, key, L"Absent").error, err::kFileNotFound);
  EXPECT_EQ(registry.DeleteValue(kUser, Key(L"absent"), L"There").error, err::kFileNotFound);
  EXPECT_FALSE(registry.KeyExists(kUser, Key(L"absent")));
}

TEST_F(RegistryContract, DeletedValueIsGone) {
  std::wstring key = Key(L"section");
  ASSERT_TRUE(registry.SetValue(kUser, key, L"DeletePrinter", Text(L"Label 1")).ok());
  ASSERT_TRUE(registry.SetValue(kUser, key, L"Keep", Dword(7)).ok());
  ASSERT_TRUE(registry.DeleteValue(kUser, key, L"DeletePrinter").ok());
  EXPECT_EQ(registry.QueryValue(kUser, key, L"DeletePrinter").error, err::kFileNotFound);
  EXPECT_TRUE(registry.QueryValue(kUser, key, L"Keep").ok()) << "only the named value goes";
  EXPECT_EQ(registry.DeleteValue(kUser, key, L"DeletePrinter").error, err::kFileNotFound);
}

TEST_F(RegistryContract, NamesIgnoreLetterCase) {
  Key(L"Mixed");
  std::wstring key = Key(L"Mixed\\Case");
  ASSERT_TRUE(registry.SetValue(kUser, key, L"SetupPrinter", Text(L"first")).ok());
  std::wstring other = base_ + L"\\mIXED\\cASE";
  EXPECT_TRUE(registry.KeyExists(kUser, other));
  auto read = registry.QueryValue(kUser, other, L"SETUPPRINTER");
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(Utf16BytesToWide(read.value.data), L"first");
  // The same value under another spelling is overwritten, not added.
  ASSERT_TRUE(registry.SetValue(kUser, other, L"setupprinter", Text(L"second")).ok());
  EXPECT_EQ(Utf16BytesToWide(registry.QueryValue(kUser, key, L"SetupPrinter").value.data), L"second");
  ASSERT_TRUE(registry.DeleteValue(kUser, key, L"SetupPrinter").ok());
  EXPECT_EQ(registry.QueryValue(kUser, key, L"setupPrinter").error, err::kFileNotFound);
}

TEST_F(RegistryContract, DeleteKeyRefusesKeysWithSubkeys) {
  std::wstring parent = Key(L"parent");
  std::wstring child = Key(L"parent\\child");
  ASSERT_TRUE(registry.CreateKey(kUser, child).ok());
  EXPECT_EQ(registry.DeleteKey(kUser, parent).error, err::kAccessDenied);
  EXPECT_TRUE(registry.KeyExists(kUser, child));
  ASSERT_TRUE(registry.DeleteKey(kUser, child).ok());
  ASSERT_TRUE(registry.DeleteKey(kUser, parent).ok());
  EXPECT_FALSE(registry.KeyExists(kUser, parent));
  EXPECT_EQ(registry.DeleteKey(kUser, parent).error, err::kFileNotFound);
}

}  // namespace
}  // namespace orvello::test
