// The log and the code pages over the real system: the writer thread puts
// the file on disk, and the bytes are read back with the kernel's own calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "log/my_log.h"
#include "platform/win32/win32_code_pages.h"
#include "platform/win32/win32_platform.h"

namespace orvello {
namespace {

std::vector<uint8_t> ReadBytes(const std::wstring& path, DWORD share) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::vector<uint8_t> bytes(GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

std::vector<uint8_t> Utf16Le(const std::wstring& text) {
  std::vector<uint8_t> bytes(text.size() * sizeof(wchar_t));
  std::memcpy(bytes.data(), text.data(), bytes.size());
  return bytes;
}

// Checks one "YYYY-MM-DD HH:MM:SS.mmm : <message>\r\n" line at `offset` and
// returns the offset after it.
size_t ExpectLine(const std::vector<uint8_t>& bytes, size_t offset, const std::wstring& message) {
  const size_t stampBytes = 23 * 2;
  const std::vector<uint8_t> rest = Utf16Le(L" : " + message + L"\r\n");
  EXPECT_GE(bytes.size(), offset + stampBytes + rest.size());
  if (bytes.size() < offset + stampBytes + rest.size()) return bytes.size();
  const std::wstring shape = L"dddd-dd-dd dd:dd:dd.ddd";
  for (size_t i = 0; i < shape.size(); ++i) {
    const wchar_t c = static_cast<wchar_t>(bytes[offset + 2 * i] | (bytes[offset + 2 * i + 1] << 8));
    if (shape[i] == L'd') {
      EXPECT_TRUE(c >= L'0' && c <= L'9') << "character " << i << " of the time stamp";
    } else {
      EXPECT_EQ(c, shape[i]) << "character " << i << " of the time stamp";
    }
  }
  const std::vector<uint8_t> got(bytes.begin() + offset + stampBytes, bytes.begin() + offset + stampBytes + rest.size());
  EXPECT_EQ(got, rest);
  return offset + stampBytes + rest.size();
}

class LogOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    program_ = std::wstring(temp) + L"orvello-log-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(program_.c_str(), nullptr));
    logFolder_ = program_ + L"Log\\";
  }

  void TearDown() override {
    for (const std::wstring& name : FilesIn(logFolder_)) DeleteFileW((logFolder_ + name).c_str());
    RemoveDirectoryW(logFolder_.c_str());
    RemoveDirectoryW(program_.c_str());
  }

  // The one file of the log folder, as the writer named it.
  std::wstring OnlyLogFile() {
    const std::vector<std::wstring> names = FilesIn(logFolder_);
    EXPECT_EQ(names.size(), 1u);
    if (names.size() != 1) return {};
    const std::wstring& name = names[0];
    // "Orvello YYYY-MM-DD.log"
    EXPECT_EQ(name.size(), 22u) << "unexpected name";
    EXPECT_EQ(name.rfind(L"Orvello ", 0), 0u);
    EXPECT_EQ(name.substr(name.size() - 4), L".log");
    return logFolder_ + name;
  }

  win32::Win32Platform machine_;
  std::wstring program_;
  std::wstring logFolder_;
};

TEST_F(LogOnWindows, WriterPutsUtf16LinesAfterOneByteOrderMark) {
  CMyLog log(machine_.platform().files, machine_.platform().system, program_);
  log.Open(L"Orvello");
  ASSERT_EQ(log.folder(), logFolder_);

  log.WriteLine(L"打印机 Ünïcode");
  ASSERT_TRUE(log.Flush());
  const std::wstring path = OnlyLogFile();
  ASSERT_FALSE(path.empty());
  // Opening without sharing succeeds only when the writer has closed the file.
  std::vector<uint8_t> bytes = ReadBytes(path, 0);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_EQ(ExpectLine(bytes, 2, L"打印机 Ünïcode"), bytes.size());

  log.WriteFormat(L"Refresh %s: %d device(s)", L"USB", 2);
  log.WriteLine(L"second batch");
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(OnlyLogFile(), path) << "the same day's file";
  bytes = ReadBytes(path, 0);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  size_t at = ExpectLine(bytes, 2, L"打印机 Ünïcode");
  at = ExpectLine(bytes, at, L"Refresh USB: 2 device(s)");
  at = ExpectLine(bytes, at, L"second batch");
  EXPECT_EQ(at, bytes.size()) << "no second byte-order mark, nothing else";
}

TEST_F(LogOnWindows, LogFolderBesideTheProgramByDefault) {
  // Without a steered folder the log goes beside the test program itself;
  // Open only derives it here, nothing is written.
  wchar_t module[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::wstring expected(module, length);
  expected.resize(expected.rfind(L'\\') + 1);
  expected += L"Log\\";
  const bool existed = GetFileAttributesW(expected.c_str()) != INVALID_FILE_ATTRIBUTES;

  {
    CMyLog log(machine_.platform().files, machine_.platform().system);
    log.Open(L"Orvello");
    EXPECT_EQ(log.folder(), expected);
    EXPECT_NE(GetFileAttributesW(expected.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  }
  if (!existed) RemoveDirectoryW(expected.c_str());
}

TEST(CodePagesOnWindows, ConvertsAsTheFakeDoes) {
  struct Case {
    uint32_t codePage;
    std::wstring wide;
    std::string narrow;
    bool reversible = true;
  };
  // The same cases as the fake's, for the code pages both have.
  const Case cases[] = {
      {1252, L"Printer-01", "Printer-01"},
      {1252, L"Ünïcode ÿ", "\xDCn\xEF" "code \xFF"},
      {1252, L"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ",
       "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"},
      {1252, L"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
      {1252, L"打印机", "???", false},
      {65001, L"打印机 Ü", "\xE6\x89\x93\xE5\x8D\xB0\xE6\x9C\xBA \xC3\x9C"},
      {65001, L"\U0001F5A8", "\xF0\x9F\x96\xA8"},
      {65001, L"", ""},
      {936, L"打印机", "\xB4\xF2\xD3\xA1\xBB\xFA"},
  };
  win32::Win32CodePages pages;
  for (const Case& c : cases) {
    EXPECT_EQ(pages.WideToMultiByte(c.codePage, c.wide), c.narrow) << c.codePage;
    if (c.reversible) {
      EXPECT_EQ(pages.MultiByteToWide(c.codePage, c.narrow), c.wide) << c.codePage;
    }
  }
  EXPECT_EQ(pages.WideToMultiByte(pages.AnsiCodePage(), L"abc"), "abc");
  EXPECT_EQ(pages.WideToMultiByte(0, L"abc"), "abc");
}

}  // namespace
}  // namespace orvello
