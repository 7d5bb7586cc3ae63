#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "payload/package.h"
#include "support/zip_builder.h"

namespace orvello {
namespace {

std::string AsText(const std::optional<std::vector<uint8_t>>& bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

class PackageArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zip_ = test::BuildZip({
        {"Drivers/TessarEx/tessarexnew.cat", "catalogue file"},
        {"Drivers/TessarEx/TessarExNew.inf", std::string(5000, 'x') + "end"},
        {"Lang/English/StringResource.lng", "<Language/>"},
        {"Mixed/Name.txt", "exact"},
        {"mixed/name.txt", "folded"},
    });
    archive_ = PackageArchive::Open(zip_);
    ASSERT_NE(archive_, nullptr);
  }

  std::vector<uint8_t> zip_;
  std::unique_ptr<PackageArchive> archive_;
};

TEST_F(PackageArchiveTest, FindsEntriesByBackslashPathIgnoringLetterCase) {
  struct Case {
    const wchar_t* asked;
    const char* expected;
  } cases[] = {
      {L"Drivers\\TessarEx\\TessarExNew.cat", "catalogue file"},  // stored in lower case
      {L"DRIVERS\\tessarex\\TESSAREXNEW.CAT", "catalogue file"},
      {L"Drivers/TessarEx/tessarexnew.cat", "catalogue file"},
      {L"\\Lang\\English\\StringResource.lng", "<Language/>"},
      {L"Lang\\\\English\\StringResource.lng", "<Language/>"},
      {L"Mixed\\Name.txt", "exact"},   // the exact spelling wins
      {L"mixed\\name.txt", "folded"},
  };
  for (const auto& c : cases) EXPECT_EQ(AsText(archive_->Read(c.asked)), c.expected) << c.asked;
}

TEST_F(PackageArchiveTest, InflatesWholeEntries) {
  auto inf = archive_->Read(L"Drivers\\TessarEx\\TessarExNew.inf");
  ASSERT_TRUE(inf);
  EXPECT_EQ(inf->size(), 5003u);
  EXPECT_EQ(AsText(inf).substr(4998), "xxend");
}

TEST_F(PackageArchiveTest, MissingEntriesAndFoldersAreNotFiles) {
  EXPECT_FALSE(archive_->Read(L"Drivers\\TessarEx\\missing.dll"));
  EXPECT_FALSE(archive_->Read(L"Drivers\\TessarEx"));
  EXPECT_FALSE(archive_->Read(L""));
  EXPECT_FALSE(archive_->Contains(L"Drivers\\devcon32.exe"));
  EXPECT_TRUE(archive_->Contains(L"drivers\\tessarex\\tessarexnew.CAT"));
}

TEST_F(PackageArchiveTest, CurrentPackageServesReadPackageFile) {
  SetCurrentPackage(nullptr);
  EXPECT_FALSE(ReadPackageFile(L"Mixed\\Name.txt"));
  SetCurrentPackage(archive_.get());
  EXPECT_EQ(AsText(ReadPackageFile(L"Mixed\\Name.txt")), "exact");
  SetCurrentPackage(nullptr);
}

TEST(PackageArchive, RejectsBytesThatAreNoArchive) {
  std::vector<uint8_t> junk(100, 0x42);
  EXPECT_EQ(PackageArchive::Open(junk), nullptr);
  EXPECT_EQ(PackageArchive::Open({}), nullptr);
}

TEST(PackageArchive, ReadsTheBuiltPackage) {
  std::ifstream in(ORVELLO_PACKAGE_ZIP, std::ios::binary);
  ASSERT_TRUE(in) << ORVELLO_PACKAGE_ZIP;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto archive = PackageArchive::Open(bytes);
  ASSERT_NE(archive, nullptr);
  // The archive stores forward slashes and no entry needs a drive or "..".
  for (const auto& name : archive->EntryNames()) {
    EXPECT_EQ(name.find(L'\\'), std::wstring::npos) << std::string(name.begin(), name.end());
    EXPECT_EQ(name.find(L".."), std::wstring::npos);
  }
  EXPECT_TRUE(archive->Read(L"Lang\\English\\StringResource.lng"));
  // Stored in lower case, asked for in the program's spelling.
  EXPECT_TRUE(archive->Read(L"Lang\\ChineseSimplified\\StringResource.lng"));
}

}  // namespace
}  // namespace orvello
