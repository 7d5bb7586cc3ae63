#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "lang/language.h"
#include "lang/messages.h"
#include "lang/pack_file.h"
#include "payload/package.h"

namespace orvello {
namespace {

// Reads entries of the built package ZIP the way the program does: by
// backslash path, letter case ignored (the ChineseSimplified table is stored
// in lower case).
std::optional<std::vector<uint8_t>> ReadFromPackageTree(std::wstring_view path) {
  static const std::vector<uint8_t> zip = [] {
    std::ifstream in(ORVELLO_PACKAGE_ZIP, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  static const std::unique_ptr<PackageArchive> archive = PackageArchive::Open(zip);
  if (!archive) return std::nullopt;
  return archive->Read(path);
}

MessageTable ShippedTable(const wchar_t* language) {
  auto bytes = ReadFromPackageTree(std::wstring(L"Lang\\") + language + L"\\StringResource.lng");
  if (!bytes) return {};
  return ParseMessageTable(*bytes);
}

// The printf conversions of a format, in order ("%08X", "%s", ...); "%%"
// prints a percent sign and takes no argument.
std::vector<std::wstring> Placeholders(std::wstring_view format) {
  std::vector<std::wstring> found;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'%') continue;
    size_t start = i++;
    if (i < format.size() && format[i] == L'%') continue;
    while (i < format.size() && std::wstring_view(L"-+ #0").find(format[i]) != std::wstring_view::npos) ++i;
    while (i < format.size() && (iswdigit(format[i]) || format[i] == L'*' || format[i] == L'.')) ++i;
    while (i < format.size() && std::wstring_view(L"hlLjztwI3264").find(format[i]) != std::wstring_view::npos) ++i;
    if (i < format.size()) found.emplace_back(format.substr(start, i - start + 1));
  }
  return found;
}

bool HasCjk(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(), [](wchar_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
  });
}

// Shipped without an English text: English users see these as written.
// Every message has an English text: an English user never sees a Chinese line.
const std::set<std::wstring> kWithoutEnglishText{};

TEST(PlaceholderParsing, FindsConversionsInOrder) {
  EXPECT_EQ(Placeholders(L"a %d b %s c %u %x %08X %-5s %ls 100%% %.2f"),
            (std::vector<std::wstring>{L"%d", L"%s", L"%u", L"%x", L"%08X", L"%-5s", L"%ls", L"%.2f"}));
  EXPECT_EQ(Placeholders(L"%sFailed"), std::vector<std::wstring>{L"%s"});
  EXPECT_TRUE(Placeholders(L"no placeholders, 50%% off").empty());
}

TEST(MessageKeys, AreDistinctAndNonEmpty) {
  std::set<std::wstring> seen;
  for (const wchar_t* key : msg::AllMessageKeys()) {
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(std::wstring_view(key).empty());
    EXPECT_TRUE(HasCjk(key)) << "messages are keyed by their Chinese text";
    EXPECT_TRUE(seen.insert(key).second) << "duplicate key";
  }
}

TEST(ShippedPacks, ChinesePackMapsEveryKeyToItself) {
  MessageTable chinese = ShippedTable(L"ChineseSimplified");
  ASSERT_FALSE(chinese.empty());
  for (const wchar_t* key : msg::AllMessageKeys()) {
    auto found = chinese.find(std::wstring_view(key));
    ASSERT_NE(found, chinese.end()) << testing::PrintToString(std::wstring(key));
    EXPECT_EQ(found->second, key);
  }
  EXPECT_EQ(chinese.size(), msg::AllMessageKeys().size()) << "the pack holds entries the program never asks for";
}

TEST(ShippedPacks, EnglishPackTranslatesEveryKeyKeepingPlaceholders) {
  MessageTable english = ShippedTable(L"English");
  ASSERT_FALSE(english.empty());
  size_t translated = 0;
  for (const wchar_t* key : msg::AllMessageKeys()) {
    auto found = english.find(std::wstring_view(key));
    if (kWithoutEnglishText.count(key)) {
      EXPECT_EQ(found, english.end()) << testing::PrintToString(std::wstring(key));
      continue;
    }
    ASSERT_NE(found, english.end()) << testing::PrintToString(std::wstring(key));
    ++translated;
    const std::wstring& text = found->second;
    EXPECT_FALSE(text.empty()) << testing::PrintToString(std::wstring(key));
    EXPECT_FALSE(HasCjk(text)) << testing::PrintToString(text);
    EXPECT_EQ(Placeholders(text), Placeholders(key)) << testing::PrintToString(text);
  }
  EXPECT_EQ(english.size(), translated) << "the pack holds entries the program never asks for";
}

TEST(ShippedPacks, EnglishPackThroughTheLanguageManager) {
  LanguageManager manager(&ReadFromPackageTree);
  manager.SetLanguage(L"Lang\\English", L"English");
  struct Case {
    const wchar_t* key;
    const wchar_t* english;
  } cases[] = {
      {msg::kOpenSpoolerFailed, L"Opening service: Spooler failed Error code:%d. Error description:%s."},
      {msg::kStatusInstalled, L"already installed"},
      {msg::kDriverInstalled, L"Successfully installed printer driver:%s. "},
      {msg::kOpenObjectFailed, L"%sFailed Error code:%d. Error description:%s."},
      {msg::kDriverInstallFailedSeeDevLog,
       L"Installation of printer driver failed:%s. See the log file (C:\\Windows\\INF\\setupapi.dev.log) for details."},
      {msg::kDriverInstalledRestartNeeded, L"Printer driver installed successfully: %s. Please restart the system."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(manager.Translate(c.key), c.english);
  }
}

}  // namespace
}  // namespace orvello
