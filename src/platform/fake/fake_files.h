#pragma once
// An in-memory file system with Windows' rules: drive letters, backslashes
// (forward slashes and doubled backslashes accepted), names compared without
// regard to letter case and kept as created, one-level CreateDirectory,
// sharing between open handles, and the error codes the kernel reports.
//
// Open handles behave like the win32 implementation's: OpenExisting opens
// for reading and lets others read and write; every other mode opens for
// reading and writing and lets others only read. Nobody shares delete, so
// an open file cannot be deleted (32).
//
// A new machine has drive C: with "C:\Windows\system32",
// "C:\Program Files", "C:\Program Files (x86)" and "C:\Tools" (the
// program's folder and the current directory).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace orvello::fake {

class FakeFiles : public platform::IFiles {
 public:
  FakeFiles();
  ~FakeFiles() override;
  FakeFiles(const FakeFiles&) = delete;
  FakeFiles& operator=(const FakeFiles&) = delete;

  platform::Result<std::unique_ptr<platform::IFile>> Open(const std::wstring& path,
                                                          platform::OpenMode mode) override;
  platform::Status CreateDirectory(const std::wstring& path) override;
  platform::Status RemoveDirectory(const std::wstring& path) override;
  platform::Status DeleteFile(const std::wstring& path) override;
  platform::Status CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override;
  platform::Result<std::vector<platform::DirectoryEntry>> Find(const std::wstring& pattern) override;
  bool Exists(const std::wstring& path) override;
  bool IsDirectory(const std::wstring& path) override;

  // Arranging a machine. These create missing parent folders and ignore
  // sharing, write errors and read-only flags.
  void AddDrive(wchar_t letter);
  platform::Status AddFile(const std::wstring& path, std::string_view bytes);
  platform::Status AddFile(const std::wstring& path, const std::vector<uint8_t>& bytes);
  platform::Status AddDirectory(const std::wstring& path);
  // FILE_ATTRIBUTE_READONLY: writing, truncating and deleting fail with 5.
  platform::Status SetReadOnly(const std::wstring& path, bool readOnly);
  // Every change at or below `path` (creating, writing, deleting, removing)
  // fails with `error`, as a folder whose ACL denies the user would;
  // nullopt lifts it.
  void SetWriteError(const std::wstring& path, std::optional<uint32_t> error);
  // Relative paths resolve against it; "C:\Tools" at first.
  void SetCurrentDirectory(const std::wstring& path);

  // GetFullPathNameW: the normalised absolute form ("C:\\A\\b.txt", the case
  // as given), or nullopt for a path the kernel would reject.
  std::optional<std::wstring> FullPathName(const std::wstring& path);

  // Inspecting a machine.
  std::optional<std::vector<uint8_t>> FileBytes(const std::wstring& path);
  std::optional<std::string> FileText(const std::wstring& path);  // the bytes as a std::string
  // Full paths of everything below `folder` (not the folder itself), folders
  // before their contents, in name order; empty when the folder is missing.
  std::vector<std::wstring> ListTree(const std::wstring& folder);
  size_t OpenHandleCount(const std::wstring& path);

  struct Node;
  struct State;

 private:
  std::shared_ptr<State> state_;
};

// Whether a file name matches a FindFirstFileW pattern ('*', '?', "*.*",
// a trailing ".*" that also matches names without an extension), ignoring case.
bool MatchesFindPattern(std::wstring_view name, std::wstring_view pattern);

}  // namespace orvello::fake
