// Files and folders as the staging, the log and the removal use them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "support/contract_env.h"
#include "system/text.h"

namespace orvello::test {
namespace {

using platform::DirectoryEntry;
using platform::IFiles;
using platform::OpenMode;
namespace err = platform::err;

constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kDirNotEmpty = 145;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }
std::string Text(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(files.CreateDirectory(dir_).ok()) << WideToUtf8(dir_); }
  void TearDown() override { RemoveTree(files, dir_); }

  std::wstring At(const std::wstring& name) const { return dir_ + L"\\" + name; }
  void Put(const std::wstring& name, std::string_view text) {
    ASSERT_TRUE(platform::WriteWholeFile(files, At(name), Bytes(text)).ok()) << WideToUtf8(name);
  }
  std::string Get(const std::wstring& path) {
    auto read = platform::ReadWholeFile(files, path);
    EXPECT_TRUE(read.ok()) << WideToUtf8(path) << " error " << read.error;
    return Text(read.value);
  }
  std::set<std::pair<std::wstring, bool>> Listing(const std::wstring& pattern) {
    std::set<std::pair<std::wstring, bool>> names;
    auto found = files.Find(pattern);
    EXPECT_TRUE(found.ok()) << WideToUtf8(pattern) << " error " << found.error;
    for (const DirectoryEntry& e : found.value) names.insert({e.name, e.isDirectory});
    return names;
  }

  IFiles& files = Env().platform().files;
  std::wstring dir_ = Env().ScratchFolder() + L"\\" +
                      Utf8ToWide(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(FilesContract, CreateDirectoryMakesOneLevel) {
  ASSERT_TRUE(files.CreateDirectory(At(L"Drivers")).ok());
  EXPECT_TRUE(files.IsDirectory(At(L"Drivers")));
  EXPECT_EQ(files.CreateDirectory(At(L"Drivers")).error, err::kAlreadyExists);
  EXPECT_EQ(files.CreateDirectory(At(L"missing\\Drivers")).error, err::kPathNotFound);
  EXPECT_FALSE(files.Exists(At(L"missing")));
  Put(L"plain", "x");
  EXPECT_EQ(files.CreateDirectory(At(L"plain")).error, err::kAlreadyExists) << "a file holds the name";
  EXPECT_FALSE(files.IsDirectory(At(L"plain")));
  EXPECT_TRUE(files.Exists(At(L"plain")));
}

TEST_F(FilesContract, OpenModesOnMissingAndExistingFiles) {
  auto first = files.Open(At(L"new.inf"), OpenMode::CreateNew);
  ASSERT_TRUE(first.ok()) << first.error;
  first.value.reset();
  EXPECT_EQ(files.Open(At(L"new.inf"), OpenMode::CreateNew).error, err::kFileExists);
  EXPECT_EQ(files.Open(At(L"absent.inf"), OpenMode::OpenExisting).error, err::kFileNotFound);
  for (OpenMode mode : {OpenMode::CreateNew, OpenMode::OpenAlways, OpenMode::CreateAlways, OpenMode::OpenExisting})
    EXPECT_EQ(files.Open(At(L"missing\\x.inf"), mode).error, err::kPathNotFound) << static_cast<int>(mode);
  ASSERT_TRUE(files.CreateDirectory(At(L"folder")).ok());
  EXPECT_EQ(files.Open(At(L"folder"), OpenMode::OpenAlways).error, err::kAccessDenied) << "a folder is no file";
}

TEST_F(FilesContract, OpenAlwaysKeepsContentAndSeekToEndAppends) {
  Put(L"day.log", "abc");
  {
    auto log = files.Open(At(L"day.log"), OpenMode::OpenAlways);
    ASSERT_TRUE(log.ok());
    ASSERT_TRUE(log.value->SeekToEnd().ok());
    ASSERT_TRUE(log.value->Write(Bytes("def")).ok());
  }
  EXPECT_EQ(Get(At(L"day.log")), "abcdef");
  {
    auto log = files.Open(At(L"day.log"), OpenMode::OpenAlways);
    ASSERT_TRUE(log.ok());
    ASSERT_TRUE(log.value->Write(Bytes("X")).ok()) << "writes start at the beginning";
    EXPECT_EQ(Text(log.value->ReadAll().value), "Xbcdef");
  }
  {
    auto log = files.Open(At(L"day.log"), OpenMode::OpenAlways);
    ASSERT_TRUE(log.value->Write(Bytes("YZ")).ok());
    ASSERT_TRUE(log.value->SetEndOfFile().ok());
  }
  EXPECT_EQ(Get(At(L"day.log")), "YZ");
  ASSERT_TRUE(files.Open(At(L"day.log"), OpenMode::CreateAlways).ok());
  EXPECT_EQ(Get(At(L"day.log")), "") << "CreateAlways truncates";
  auto created = files.Open(At(L"fresh.log"), OpenMode::OpenAlways);
  ASSERT_TRUE(created.ok());
  EXPECT_TRUE(files.Exists(At(L"fresh.log")));
}

TEST_F(FilesContract, FindListsFilesFoldersAndDots) {
  Put(L"a.inf", "1");
  Put(L"B.CAT", "2");
  Put(L"noext", "3");
  ASSERT_TRUE(files.CreateDirectory(At(L"amd64")).ok());
  const std::set<std::pair<std::wstring, bool>> all = {
      {L".", true}, {L"..", true}, {L"a.inf", false}, {L"B.CAT", false}, {L"noext", false}, {L"amd64", true}};
  EXPECT_EQ(Listing(At(L"*.*")), all);
  EXPECT_EQ(Listing(At(L"*")), all);
  EXPECT_EQ(Listing(At(L"*.cat")), (std::set<std::pair<std::wstring, bool>>{{L"B.CAT", false}}));
  EXPECT_EQ(Listing(At(L"a.inf")), (std::set<std::pair<std::wstring, bool>>{{L"a.inf", false}}));
  EXPECT_EQ(files.Find(At(L"*.dll")).error, err::kFileNotFound);
  EXPECT_EQ(files.Find(At(L"missing\\*.*")).error, err::kPathNotFound);
  // An empty folder still lists its two dots.
  EXPECT_EQ(Listing(At(L"amd64\\*.*")), (std::set<std::pair<std::wstring, bool>>{{L".", true}, {L"..", true}}));
}

TEST_F(FilesContract, DeleteFileAndRemoveDirectory) {
  ASSERT_TRUE(files.CreateDirectory(At(L"sub")).ok());
  Put(L"sub\\file.dll", "MZ");
  EXPECT_EQ(files.RemoveDirectory(At(L"sub")).error, kDirNotEmpty);
  EXPECT_EQ(files.DeleteFile(At(L"sub")).error, err::kAccessDenied) << "DeleteFile does not remove folders";
  ASSERT_TRUE(files.DeleteFile(At(L"sub\\file.dll")).ok());
  EXPECT_FALSE(files.Exists(At(L"sub\\file.dll")));
  EXPECT_EQ(files.DeleteFile(At(L"sub\\file.dll")).error, err::kFileNotFound);
  EXPECT_EQ(files.DeleteFile(At(L"missing\\file.dll")).error, err::kPathNotFound);
  ASSERT_TRUE(files.RemoveDirectory(At(L"sub")).ok());
  EXPECT_FALSE(files.Exists(At(L"sub")));
  EXPECT_EQ(files.RemoveDirectory(At(L"sub")).error, err::kFileNotFound);
}

TEST_F(FilesContract, NamesIgnoreCaseAndSeparatorsMayDouble) {
  Put(L"Report.TXT", "content");
  EXPECT_EQ(Get(At(L"REPORT.txt")), "content");
  EXPECT_EQ(Get(dir_ + L"\\\\report.txt"), "content");
  EXPECT_EQ(Get(dir_ + L"/report.txt"), "content");
  EXPECT_TRUE(files.Exists(At(L"rEpOrT.tXt")));
  // The name keeps the case it was created with.
  EXPECT_EQ(Listing(At(L"report.*")), (std::set<std::pair<std::wstring, bool>>{{L"Report.TXT", false}}));
  EXPECT_EQ(files.Open(At(L"REPORT.TXT"), OpenMode::CreateNew).error, err::kFileExists);
}

TEST_F(FilesContract, CopyFileRespectsFailIfExists) {
  Put(L"source.dll", "new");
  Put(L"target.dll", "old");
  EXPECT_EQ(files.CopyFile(At(L"source.dll"), At(L"target.dll"), true).error, err::kFileExists);
  EXPECT_EQ(Get(At(L"target.dll")), "old");
  ASSERT_TRUE(files.CopyFile(At(L"source.dll"), At(L"target.dll"), false).ok());
  EXPECT_EQ(Get(At(L"target.dll")), "new");
  ASSERT_TRUE(files.CopyFile(At(L"source.dll"), At(L"third.dll"), true).ok());
  EXPECT_EQ(Get(At(L"third.dll")), "new");
  EXPECT_EQ(files.CopyFile(At(L"absent.dll"), At(L"fourth.dll"), false).error, err::kFileNotFound);
  EXPECT_EQ(files.CopyFile(At(L"source.dll"), At(L"missing\\x.dll"), false).error, err::kPathNotFound);
}

TEST_F(FilesContract, OpenHandlesShareReadingOnly) {
  auto writer = files.Open(At(L"shared.log"), OpenMode::CreateAlways);
  ASSERT_TRUE(writer.ok());
  ASSERT_TRUE(writer.value->Write(Bytes("line")).ok());
  EXPECT_EQ(files.Open(At(L"shared.log"), OpenMode::OpenAlways).error, kSharingViolation) << "one writer at a time";
  auto reader = files.Open(At(L"shared.log"), OpenMode::OpenExisting);
  ASSERT_TRUE(reader.ok()) << reader.error;
  EXPECT_EQ(Text(reader.value->ReadAll().value), "line");
  EXPECT_EQ(reader.value->Write(Bytes("x")).error, err::kAccessDenied) << "OpenExisting reads only";
  EXPECT_EQ(files.DeleteFile(At(L"shared.log")).error, kSharingViolation);
  writer.value.reset();
  EXPECT_EQ(files.DeleteFile(At(L"shared.log")).error, kSharingViolation) << "the reader still holds it";
  reader.value.reset();
  EXPECT_TRUE(files.DeleteFile(At(L"shared.log")).ok());
}

TEST_F(FilesContract, WholeFileHelpersAndDirectoryTree) {
  std::wstring deep = At(L"DudezPrinterDriver\\Drivers\\Lumatrix");
  ASSERT_TRUE(platform::CreateDirectoryTree(files, deep).ok());
  EXPECT_TRUE(files.IsDirectory(deep));
  EXPECT_TRUE(platform::CreateDirectoryTree(files, deep + L"\\").ok()) << "existing levels are fine";
  const std::vector<uint8_t> binary = {0x4D, 0x5A, 0x00, 0xFF, 0x0D, 0x0A, 0x1A};
  ASSERT_TRUE(platform::WriteWholeFile(files, deep + L"\\a.bin", binary).ok());
  EXPECT_EQ(platform::ReadWholeFile(files, deep + L"\\a.bin").value, binary);
  ASSERT_TRUE(platform::WriteWholeFile(files, deep + L"\\a.bin", Bytes("z")).ok());
  EXPECT_EQ(Get(deep + L"\\a.bin"), "z") << "a shorter write leaves nothing of the old content";
  EXPECT_EQ(platform::ReadWholeFile(files, deep + L"\\none.bin").error, err::kFileNotFound);
  EXPECT_FALSE(platform::CreateDirectoryTree(files, deep + L"\\a.bin\\below").ok()) << "a file is in the way";
}

}  // namespace
}  // namespace orvello::test
