#include "log/my_log.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_system_facts.h"

namespace orvello {
namespace {

using platform::OpenMode;

// UTF-16LE bytes of a literal, worked out independently of the code under test.
std::vector<uint8_t> Le(std::u16string_view text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

std::vector<uint8_t> Bom() { return {0xFF, 0xFE}; }

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

platform::LocalTime At(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute, uint16_t second,
                       uint16_t ms) {
  platform::LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.milliseconds = ms;
  return t;
}

// Passes every call to the fake file system, records how the log opens
// files and, when asked, holds the writer inside Open until released.
class WatchedFiles : public platform::IFiles {
 public:
  explicit WatchedFiles(platform::IFiles& inner) : inner_(inner) {}

  struct OpenCall {
    std::wstring path;
    OpenMode mode;
    bool operator==(const OpenCall&) const = default;
  };

  std::vector<OpenCall> opens() {
    std::lock_guard lock(mutex_);
    return opens_;
  }
  std::vector<std::wstring> directories() {
    std::lock_guard lock(mutex_);
    return directories_;
  }

  // The next Open waits until Release.
  void Hold() {
    std::lock_guard lock(mutex_);
    holding_ = true;
  }
  void WaitUntilHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return held_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    holding_ = false;
    changed_.notify_all();
  }
  // Waits until `count` files opened here have been closed again.
  void WaitForCloses(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closes_ >= count; });
  }

  platform::Result<std::unique_ptr<platform::IFile>> Open(const std::wstring& path, OpenMode mode) override {
    {
      std::unique_lock lock(mutex_);
      opens_.push_back({path, mode});
      if (holding_) {
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return !holding_; });
      }
    }
    auto result = inner_.Open(path, mode);
    if (result.ok()) result.value = std::make_unique<WatchedFile>(*this, std::move(result.value));
    return result;
  }
  platform::Status CreateDirectory(const std::wstring& path) override {
    {
      std::lock_guard lock(mutex_);
      directories_.push_back(path);
    }
    return inner_.CreateDirectory(path);
  }
  platform::Status RemoveDirectory(const std::wstring& path) override { return inner_.RemoveDirectory(path); }
  platform::Status DeleteFile(const std::wstring& path) override { return inner_.DeleteFile(path); }
  platform::Status CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override {
    return inner_.CopyFile(from, to, failIfExists);
  }
  platform::Result<std::vector<platform::DirectoryEntry>> Find(const std::wstring& pattern) override {
    return inner_.Find(pattern);
  }
  bool Exists(const std::wstring& path) override { return inner_.Exists(path); }
  bool IsDirectory(const std::wstring& path) override { return inner_.IsDirectory(path); }

 private:
  class WatchedFile : public platform::IFile {
   public:
    WatchedFile(WatchedFiles& owner, std::unique_ptr<platform::IFile> inner) : owner_(owner), inner_(std::move(inner)) {}
    ~WatchedFile() override {
      inner_.reset();
      std::lock_guard lock(owner_.mutex_);
      ++owner_.closes_;
      owner_.changed_.notify_all();
    }
    platform::Status Write(std::span<const uint8_t> bytes) override { return inner_->Write(bytes); }
    platform::Result<std::vector<uint8_t>> ReadAll() override { return inner_->ReadAll(); }
    platform::Status SeekToEnd() override { return inner_->SeekToEnd(); }
    platform::Status SetEndOfFile() override { return inner_->SetEndOfFile(); }

   private:
    WatchedFiles& owner_;
    std::unique_ptr<platform::IFile> inner_;
  };

  platform::IFiles& inner_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<OpenCall> opens_;
  std::vector<std::wstring> directories_;
  bool holding_ = false;
  bool held_ = false;
  int closes_ = 0;
};

// The program sits at C:\Tools\Orvello.exe on the fake machine.
const std::wstring kLogFolder = L"C:\\Tools\\Log\\";
const std::wstring kMarch15 = L"C:\\Tools\\Log\\\\Orvello 2025-03-15.log";
const std::wstring kMarch16 = L"C:\\Tools\\Log\\\\Orvello 2025-03-16.log";

class LogTest : public ::testing::Test {
 protected:
  LogTest() { system.SetLocalTime(At(2025, 3, 15, 8, 30, 5, 7)); }

  std::vector<uint8_t> Bytes(const std::wstring& path) { return disk.FileBytes(path).value_or(std::vector<uint8_t>{}); }

  fake::FakeFiles disk;
  WatchedFiles files{disk};
  fake::FakeSystemFacts system;
};

TEST_F(LogTest, FirstBatchOfTheDayCreatesTheFileWithOneByteOrderMark) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  log.WriteLine(L"Run Orvello application");
  ASSERT_TRUE(log.Flush());
  system.SetLocalTime(At(2025, 3, 15, 8, 30, 6, 250));
  log.WriteLine(L"second batch");
  ASSERT_TRUE(log.Flush());

  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"2025-03-15 08:30:05.007 : Run Orvello application\r\n") +
                                 Le(u"2025-03-15 08:30:06.250 : second batch\r\n"));
  // Created new the first time; the second time "exists" (80) leads to OPEN_ALWAYS.
  const std::vector<WatchedFiles::OpenCall> expected = {
      {kMarch15, OpenMode::CreateNew}, {kMarch15, OpenMode::CreateNew}, {kMarch15, OpenMode::OpenAlways}};
  EXPECT_EQ(files.opens(), expected);
  EXPECT_EQ(disk.OpenHandleCount(kMarch15), 0u) << "closed between batches";
}

TEST_F(LogTest, AppendsToAFileOfTheDayThatAlreadyExists) {
  disk.AddFile(L"C:\\Tools\\Log\\Orvello 2025-03-15.log", Bom() + Le(u"earlier run\r\n"));
  CMyLog log(files, system);
  log.Open(L"Orvello");
  log.WriteLine(L"later run");
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"earlier run\r\n") + Le(u"2025-03-15 08:30:05.007 : later run\r\n"));
}

TEST_F(LogTest, FileOfTheDayThatSomeoneEmptiedGetsNoMark) {
  disk.AddFile(L"C:\\Tools\\Log\\Orvello 2025-03-15.log", std::string_view());
  CMyLog log(files, system);
  log.Open(L"Orvello");
  log.WriteLine(L"appended");
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(Bytes(kMarch15), Le(u"2025-03-15 08:30:05.007 : appended\r\n"));
}

TEST_F(LogTest, BatchAfterMidnightStartsTheNextDaysFile) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  system.SetLocalTime(At(2025, 3, 15, 23, 59, 59, 999));
  log.WriteLine(L"late");
  ASSERT_TRUE(log.Flush());
  system.AdvanceClock(1);
  log.WriteLine(L"early");
  ASSERT_TRUE(log.Flush());

  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"2025-03-15 23:59:59.999 : late\r\n"));
  EXPECT_EQ(Bytes(kMarch16), Bom() + Le(u"2025-03-16 00:00:00.000 : early\r\n"));
}

TEST_F(LogTest, LinesAreStampedWhenQueuedAndABatchStaysWithTheDayItStarted) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  system.SetLocalTime(At(2025, 3, 15, 23, 59, 59, 998));
  files.Hold();
  log.WriteLine(L"before midnight");
  // The writer has read the date and waits in Open; a line queued now,
  // after midnight, joins its batch.
  files.WaitUntilHeld();
  system.SetLocalTime(At(2025, 3, 16, 0, 0, 0, 1));
  log.WriteLine(L"after midnight");
  files.Release();
  ASSERT_TRUE(log.Flush());

  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"2025-03-15 23:59:59.998 : before midnight\r\n") +
                                 Le(u"2025-03-16 00:00:00.001 : after midnight\r\n"));
}

TEST_F(LogTest, LinesOfTheSameMillisecondKeepTheirOrder) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  std::vector<uint8_t> expected = Bom();
  for (int i = 0; i < 200; ++i) {
    log.WriteLine(L"line " + std::to_wstring(i));
    std::u16string number;
    for (char c : std::to_string(i)) number += static_cast<char16_t>(c);
    expected = expected + Le(u"2025-03-15 08:30:05.007 : line " + number + u"\r\n");
  }
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(Bytes(kMarch15), expected);
}

TEST_F(LogTest, WritesTheFileNameWithTheFolderBackslashDoubled) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  EXPECT_EQ(log.folder(), kLogFolder);
  EXPECT_EQ(log.name(), L"Orvello");
  EXPECT_EQ(files.directories(), std::vector<std::wstring>{kLogFolder});
  log.WriteLine(L"x");
  ASSERT_TRUE(log.Flush());
  ASSERT_FALSE(files.opens().empty());
  EXPECT_EQ(files.opens()[0].path, L"C:\\Tools\\Log\\\\Orvello 2025-03-15.log");
  EXPECT_TRUE(disk.IsDirectory(L"C:\\Tools\\Log"));
}

TEST_F(LogTest, LogFolderIsBesideTheProgramFile) {
  struct Case {
    std::wstring module;
    std::wstring folder;
  };
  const std::wstring longFolder(250, L'a');
  const Case cases[] = {
      {L"C:\\Tools\\Orvello.exe", L"C:\\Tools\\Log\\"},
      {L"D:\\Orvello.exe", L"D:\\Log\\"},
      {L"C:\\Program Files (x86)\\QOVA\\Orvello\\Orvello.exe", L"C:\\Program Files (x86)\\QOVA\\Orvello\\Log\\"},
      // GetModuleFileNameW keeps 259 characters; a last backslash beyond them is lost.
      {L"C:\\" + longFolder + L"\\bbbbbbbbbb\\Orvello.exe", L"C:\\" + longFolder + L"\\Log\\"},
      {L"C:\\" + std::wstring(255, L'a') + L"\\Orvello.exe", L"C:\\" + std::wstring(255, L'a') + L"\\Log\\"},
      {L"C:\\" + std::wstring(256, L'a') + L"\\Orvello.exe", L"C:\\Log\\"},
  };
  for (const Case& c : cases) {
    system.SetModuleFileName(c.module);
    CMyLog log(files, system);
    log.Open(L"Orvello");
    EXPECT_EQ(log.folder(), c.folder) << std::string(c.module.begin(), c.module.end());
  }
}

TEST_F(LogTest, SecondOpenKeepsTheFirstFolderAndName) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  system.SetModuleFileName(L"C:\\Program Files\\Other.exe");
  log.Open(L"Other");
  EXPECT_EQ(log.folder(), kLogFolder);
  EXPECT_EQ(log.name(), L"Orvello");
  EXPECT_EQ(files.directories().size(), 1u);
  log.WriteLine(L"x");
  ASSERT_TRUE(log.Flush());
  EXPECT_TRUE(disk.Exists(kMarch15));
  EXPECT_FALSE(disk.Exists(L"C:\\Program Files\\Log"));
}

TEST_F(LogTest, LinesBeforeOpenAreDropped) {
  CMyLog log(files, system);
  log.WriteLine(L"too early");
  log.WriteFormat(L"%s", L"too early as well");
  EXPECT_FALSE(log.opened());
  ASSERT_TRUE(log.Flush());
  EXPECT_FALSE(disk.Exists(kLogFolder));

  log.Open(L"Orvello");
  EXPECT_TRUE(log.opened());
  log.WriteLine(L"in time");
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"2025-03-15 08:30:05.007 : in time\r\n"));
}

TEST_F(LogTest, WriteFormatFormatsPrintfStyle) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  log.WriteFormat(L"Refresh: %s, %d printer(s), id %04X", L"USB\\VID_1FC9&PID_2016", 2, 0x2016);
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(Bytes(kMarch15),
            Bom() + Le(u"2025-03-15 08:30:05.007 : Refresh: USB\\VID_1FC9&PID_2016, 2 printer(s), id 2016\r\n"));
}

TEST_F(LogTest, NonAsciiTextIsWrittenAsUtf16) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  log.WriteLine(L"打印机 Ünïcode \U0001F5A8");
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"2025-03-15 08:30:05.007 : 打印机 Ünïcode \U0001F5A8\r\n"));
}

TEST_F(LogTest, BatchThatCannotBeOpenedIsDroppedAndTheNextOneIsWritten) {
  CMyLog log(files, system);
  log.Open(L"Orvello");
  disk.SetWriteError(L"C:\\Tools\\Log", platform::err::kAccessDenied);
  log.WriteLine(L"lost");
  ASSERT_TRUE(log.Flush());
  EXPECT_FALSE(disk.Exists(kMarch15));

  disk.SetWriteError(L"C:\\Tools\\Log", std::nullopt);
  log.WriteLine(L"kept");
  ASSERT_TRUE(log.Flush());
  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"2025-03-15 08:30:05.007 : kept\r\n"));
}

TEST_F(LogTest, FolderThatCannotBeCreatedLosesEveryBatchQuietly) {
  system.SetModuleFileName(L"C:\\Missing\\Orvello.exe");
  CMyLog log(files, system);
  log.Open(L"Orvello");
  EXPECT_TRUE(log.opened());
  log.WriteLine(L"lost");
  ASSERT_TRUE(log.Flush());
  log.WriteLine(L"lost too");
  ASSERT_TRUE(log.Flush());
  EXPECT_FALSE(disk.Exists(L"C:\\Missing"));
  EXPECT_EQ(files.opens().size(), 2u) << "each batch tries once";
}

TEST_F(LogTest, WriterStuckPastDestructionFinishesOnItsOwnState) {
  {
    CMyLog log(files, system);
    log.Open(L"Orvello");
    files.Hold();
    log.WriteLine(L"written after the log is gone");
    files.WaitUntilHeld();
    // Destruction gives up waiting for the held writer and lets it go.
  }
  files.Release();
  files.WaitForCloses(1);
  EXPECT_EQ(Bytes(kMarch15), Bom() + Le(u"2025-03-15 08:30:05.007 : written after the log is gone\r\n"));
}

}  // namespace
}  // namespace orvello
