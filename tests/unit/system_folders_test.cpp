#include <gtest/gtest.h>

#include "platform/fake/fake_files.h"
#include "system/folders.h"

namespace orvello {
namespace {

const std::wstring kStage = L"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers";
const std::wstring kBeside = L"C:\\Program Files (x86)\\DudezPrinterDriver\\beside.txt";

void Arrange(fake::FakeFiles& files) {
  files.AddFile(kStage + L"\\devcon32.exe", "MZ");
  files.AddFile(kStage + L"\\TessarEx\\TessarExNew.inf", "[Version]");
  files.AddFile(kStage + L"\\TessarEx\\amd64\\TessarExUiNew.dll", "MZ");
  files.AddDirectory(kStage + L"\\TessarEx\\empty");
  files.AddFile(kBeside, "stays");
}

TEST(DeleteFolderContentsTest, EmptiesTheTreeAndKeepsTheFolder) {
  for (const std::wstring& path : {kStage, kStage + L"\\"}) {
    SCOPED_TRACE(testing::Message() << "trailing backslash: " << (path.back() == L'\\'));
    fake::FakeFiles files;
    Arrange(files);
    DeleteFolderContents(files, path);
    EXPECT_TRUE(files.IsDirectory(kStage));
    EXPECT_TRUE(files.ListTree(kStage).empty());
    EXPECT_TRUE(files.Exists(kBeside));
  }
}

TEST(DeleteFolderContentsTest, WhatCannotBeDeletedStaysAndTheRestGoes) {
  fake::FakeFiles files;
  Arrange(files);
  const std::wstring locked = kStage + L"\\TessarEx\\amd64\\TessarExUiNew.dll";
  files.SetReadOnly(locked, true);
  DeleteFolderContents(files, kStage);
  // The read-only file keeps its folders; everything else is gone.
  EXPECT_EQ(files.ListTree(kStage),
            (std::vector<std::wstring>{kStage + L"\\TessarEx", kStage + L"\\TessarEx\\amd64", locked}));
}

TEST(DeleteFolderContentsTest, MissingFolderIsLeftAlone) {
  fake::FakeFiles files;
  Arrange(files);
  DeleteFolderContents(files, L"C:\\Nowhere");
  EXPECT_FALSE(files.Exists(L"C:\\Nowhere"));
  EXPECT_EQ(files.ListTree(kStage).size(), 6u);
}

}  // namespace
}  // namespace orvello
