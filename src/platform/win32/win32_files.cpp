#include "platform/win32/win32_files.h"

#include <algorithm>

#include "platform/win32/handles.h"

namespace orvello::win32 {

using platform::DirectoryEntry;
using platform::IFile;
using platform::OpenMode;
using platform::Result;
using platform::Status;

namespace {

Status LastErrorStatus() { return Status::Fail(::GetLastError()); }

class Win32File : public IFile {
 public:
  explicit Win32File(UniqueFileHandle handle) : handle_(std::move(handle)) {}

  Status Write(std::span<const uint8_t> bytes) override {
    while (!bytes.empty()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(handle_.get(), bytes.data(), chunk, &written, nullptr)) return LastErrorStatus();
      bytes = bytes.subspan(written);
    }
    return Status::Ok();
  }

  Result<std::vector<uint8_t>> ReadAll() override {
    using R = Result<std::vector<uint8_t>>;
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(handle_.get(), zero, nullptr, FILE_BEGIN)) return R::Fail(::GetLastError());
    std::vector<uint8_t> all;
    uint8_t buffer[64 * 1024];
    for (;;) {
      DWORD read = 0;
      if (!::ReadFile(handle_.get(), buffer, sizeof buffer, &read, nullptr)) return R::Fail(::GetLastError());
      if (read == 0) break;
      all.insert(all.end(), buffer, buffer + read);
    }
    return R::Ok(std::move(all));
  }

  Status SeekToEnd() override {
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(handle_.get(), zero, nullptr, FILE_END)) return LastErrorStatus();
    return Status::Ok();
  }

  Status SetEndOfFile() override {
    if (!::SetEndOfFile(handle_.get())) return LastErrorStatus();
    return Status::Ok();
  }

 private:
  UniqueFileHandle handle_;
};

DWORD Disposition(OpenMode mode) {
  switch (mode) {
    case OpenMode::CreateNew: return CREATE_NEW;
    case OpenMode::OpenAlways: return OPEN_ALWAYS;
    case OpenMode::CreateAlways: return CREATE_ALWAYS;
    case OpenMode::OpenExisting: return OPEN_EXISTING;
  }
  return OPEN_EXISTING;
}

}  // namespace

Result<std::unique_ptr<IFile>> Win32Files::Open(const std::wstring& path, OpenMode mode) {
  using R = Result<std::unique_ptr<IFile>>;
  bool readOnly = mode == OpenMode::OpenExisting;
  DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  DWORD share = readOnly ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  UniqueFileHandle handle(
      ::CreateFileW(path.c_str(), access, share, nullptr, Disposition(mode), FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return R::Fail(::GetLastError());
  return R::Ok(std::make_unique<Win32File>(std::move(handle)));
}

Status Win32Files::CreateDirectory(const std::wstring& path) {
  if (!::CreateDirectoryW(path.c_str(), nullptr)) return LastErrorStatus();
  return Status::Ok();
}

Status Win32Files::RemoveDirectory(const std::wstring& path) {
  if (!::RemoveDirectoryW(path.c_str())) return LastErrorStatus();
  return Status::Ok();
}

Status Win32Files::DeleteFile(const std::wstring& path) {
  if (!::DeleteFileW(path.c_str())) return LastErrorStatus();
  return Status::Ok();
}

Status Win32Files::CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) {
  if (!::CopyFileW(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE)) return LastErrorStatus();
  return Status::Ok();
}

Result<std::vector<DirectoryEntry>> Win32Files::Find(const std::wstring& pattern) {
  using R = Result<std::vector<DirectoryEntry>>;
  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(::FindFirstFileW(pattern.c_str(), &data));
  if (!find) return R::Fail(::GetLastError());
  std::vector<DirectoryEntry> entries;
  do {
    entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(find.get(), &data));
  DWORD error = ::GetLastError();
  if (error != ERROR_NO_MORE_FILES) return R::Fail(error);
  return R::Ok(std::move(entries));
}

bool Win32Files::Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::IsDirectory(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace orvello::win32
