#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "lang/language.h"
#include "lang/messages.h"
#include "payload/package.h"
#include "support/zip_builder.h"
#include "system/text.h"

namespace orvello {
namespace {

// A package of a few packs, addressed the way the program asks for entries.
class FakePack {
 public:
  void Put(std::wstring path, const std::string& utf8) { files_[std::move(path)] = {utf8.begin(), utf8.end()}; }

  PackFileReader Reader() {
    return [this](std::wstring_view path) -> std::optional<std::vector<uint8_t>> {
      requested_.emplace_back(path);
      auto found = files_.find(std::wstring(path));
      if (found == files_.end()) return std::nullopt;
      return found->second;
    };
  }

  const std::vector<std::wstring>& requested() const { return requested_; }

 private:
  std::map<std::wstring, std::vector<uint8_t>> files_;
  std::vector<std::wstring> requested_;
};

std::string Table(const std::vector<std::pair<std::wstring, std::wstring>>& entries) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Language isocode=\"xx\">\n";
  for (const auto& [id, text] : entries) xml += "<String id=\"" + WideToUtf8(id) + "\" text=\"" + WideToUtf8(text) + "\"/>\n";
  return xml + "</Language>\n";
}

class LanguageManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pack_.Put(L"Lang\\English\\StringResource.lng",
              Table({{msg::kDeletePortSucceeded, L"Delete port:%s Success."},
                     {msg::kYes, L"yes"},
                     {L"\u91CD\u590D", L"first"},
                     {L"\u91CD\u590D", L"second"}}));
    pack_.Put(L"Lang\\German\\StringResource.lng", Table({{msg::kYes, L"ja"}}));
    pack_.Put(L"Lang\\English\\form_main.lng",
              "<Language isocode=\"en\"><Text id=\"3\" text=\"Install printer\" tooltip=\"Add a new printer\"/>"
              "<Text id=\"4\" text=\"Exit\"/></Language>");
    pack_.Put(L"Lang\\German\\form_main.lng", "<Language><Text id=\"3\" text=\"Drucker installieren\"/></Language>");
  }

  FakePack pack_;
  LanguageManager manager_{pack_.Reader()};
};

TEST_F(LanguageManagerTest, StartsWithNoLanguageAndShowsMessagesAsWritten) {
  EXPECT_EQ(manager_.CurrentLanguageName(), L"");
  EXPECT_EQ(manager_.CurrentFolder(), L"");
  EXPECT_EQ(manager_.Translate(msg::kYes), msg::kYes);
}

TEST_F(LanguageManagerTest, SetLanguageLoadsTheFoldersMessageTable) {
  manager_.SetLanguage(L"Lang\\English", L"English");
  EXPECT_EQ(manager_.CurrentLanguageName(), L"English");
  EXPECT_EQ(manager_.CurrentFolder(), L"Lang\\English");
  EXPECT_EQ(pack_.requested(), std::vector<std::wstring>{L"Lang\\English\\StringResource.lng"});
  EXPECT_EQ(manager_.Translate(msg::kYes), L"yes");
}

TEST_F(LanguageManagerTest, FolderWithTrailingBackslashNamesTheSameTable) {
  manager_.SetLanguage(L"Lang\\English\\", L"English");
  EXPECT_EQ(pack_.requested(), std::vector<std::wstring>{L"Lang\\English\\StringResource.lng"});
  EXPECT_EQ(manager_.Translate(msg::kYes), L"yes");
}

TEST_F(LanguageManagerTest, TranslationKeepsPlaceholdersForFormatting) {
  manager_.SetLanguage(L"Lang\\English", L"English");
  std::wstring text = manager_.Translate(msg::kDeletePortSucceeded);
  EXPECT_EQ(FormatText(text.c_str(), L"USB001"), L"Delete port:USB001 Success.");
}

TEST_F(LanguageManagerTest, MissIsRememberedAndShownAsWrittenWithPlaceholdersFilled) {
  manager_.SetLanguage(L"Lang\\English", L"English");
  std::wstring written = msg::kDeletePortFailed;
  std::wstring text = manager_.Translate(written);
  EXPECT_EQ(text, written);
  EXPECT_EQ(FormatText(text.c_str(), L"COM3:", 5, L"Access is denied."),
            L"\u5220\u9664\u7AEF\u53E3: COM3: \u5931\u8D25. \u9519\u8BEF\u7801: 5. "
            L"\u9519\u8BEF\u63CF\u8FF0: Access is denied..");
  // Asking again gives the same answer, and the miss does not disturb hits.
  EXPECT_EQ(manager_.Translate(written), written);
  EXPECT_EQ(manager_.Translate(msg::kYes), L"yes");
}

TEST_F(LanguageManagerTest, LaterDuplicateEntryWins) {
  manager_.SetLanguage(L"Lang\\English", L"English");
  EXPECT_EQ(manager_.Translate(L"\u91CD\u590D"), L"second");
}

TEST_F(LanguageManagerTest, SwitchingReplacesTheWholeTable) {
  manager_.SetLanguage(L"Lang\\English", L"English");
  ASSERT_EQ(manager_.Translate(msg::kDeletePortSucceeded), L"Delete port:%s Success.");
  manager_.SetLanguage(L"Lang\\German", L"German");
  EXPECT_EQ(manager_.CurrentLanguageName(), L"German");
  EXPECT_EQ(manager_.Translate(msg::kYes), L"ja");
  // German has no entry for it: the English text must not linger.
  EXPECT_EQ(manager_.Translate(msg::kDeletePortSucceeded), msg::kDeletePortSucceeded);
}

TEST_F(LanguageManagerTest, MissingPackLeavesNoTranslations) {
  manager_.SetLanguage(L"Lang\\English", L"English");
  ASSERT_EQ(manager_.Translate(msg::kYes), L"yes");
  manager_.SetLanguage(L"Lang\\Latin", L"Latin");
  EXPECT_EQ(manager_.CurrentLanguageName(), L"Latin");
  EXPECT_EQ(manager_.CurrentFolder(), L"Lang\\Latin");
  EXPECT_EQ(manager_.Translate(msg::kYes), msg::kYes);
  EXPECT_TRUE(manager_.LayoutTexts(L"form_main.xml").empty());
}

TEST_F(LanguageManagerTest, UnreadableTableLeavesNoTranslations) {
  pack_.Put(L"Lang\\Broken\\StringResource.lng", "<Language><String id=\"\xE6\x98\xAF\" text=\"yes\"");
  manager_.SetLanguage(L"Lang\\English", L"English");
  manager_.SetLanguage(L"Lang\\Broken", L"Broken");
  EXPECT_EQ(manager_.Translate(msg::kYes), msg::kYes);
}

TEST_F(LanguageManagerTest, LayoutTextsComeFromTheCurrentPack) {
  manager_.SetLanguage(L"Lang\\English", L"English");
  LayoutTextMap english = manager_.LayoutTexts(L"form_main.xml");
  EXPECT_EQ(english, (LayoutTextMap{{3, {L"Install printer", L"Add a new printer"}}, {4, {L"Exit", std::nullopt}}}));
  EXPECT_EQ(pack_.requested().back(), L"Lang\\English\\form_main.lng");

  manager_.SetLanguage(L"Lang\\German", L"German");
  EXPECT_EQ(manager_.LayoutTexts(L"form_main.xml"), (LayoutTextMap{{3, {L"Drucker installieren", std::nullopt}}}));
  // A layout without a file in the pack keeps its own texts.
  EXPECT_TRUE(manager_.LayoutTexts(L"form_printer_port.xml").empty());
  EXPECT_EQ(pack_.requested().back(), L"Lang\\German\\form_printer_port.lng");
}

TEST_F(LanguageManagerTest, WorkersTranslateWhileTheLanguageSwitches) {
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < 3; ++w) {
    workers.emplace_back([&, w] {
      std::wstring own = L"worker message " + std::to_wstring(w);
      while (!stop.load()) {
        std::wstring yes = manager_.Translate(msg::kYes);
        if (yes != L"yes" && yes != L"ja" && yes != msg::kYes) ++wrong;
        if (manager_.Translate(own) != own) ++wrong;
      }
    });
  }
  for (int i = 0; i < 200; ++i) {
    manager_.SetLanguage(i % 2 ? L"Lang\\German" : L"Lang\\English", i % 2 ? L"German" : L"English");
  }
  stop = true;
  for (auto& t : workers) t.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(manager_.Translate(msg::kYes), L"ja");
}

// The program-wide manager reads from the package the program runs with.
TEST(AppLanguageTest, ReadsPacksFromTheCurrentPackage) {
  std::vector<uint8_t> zip = test::BuildZip({
      {"Lang/English/StringResource.lng", Table({{msg::kNothing, L"nothing"}})},
      {"Lang/English/form_setup_end.lng", "<Language><Text id=\"20\" tooltip=\"Print a test page\"/></Language>"},
  });
  std::unique_ptr<PackageArchive> archive = PackageArchive::Open(zip);
  ASSERT_NE(archive, nullptr);

  const PackageArchive* previousPackage = CurrentPackage();
  std::wstring previousFolder = AppLanguage().CurrentFolder();
  std::wstring previousName = AppLanguage().CurrentLanguageName();
  SetCurrentPackage(archive.get());

  SetLanguage(L"Lang\\English", L"English");
  EXPECT_EQ(CurrentLanguageName(), L"English");
  EXPECT_EQ(Translate(msg::kNothing), L"nothing");
  EXPECT_EQ(Translate(msg::kYes), msg::kYes);
  EXPECT_EQ(AppLanguage().LayoutTexts(L"form_setup_end.xml"),
            (LayoutTextMap{{20, {std::nullopt, L"Print a test page"}}}));

  SetCurrentPackage(previousPackage);
  SetLanguage(previousFolder, previousName);
}

}  // namespace
}  // namespace orvello
