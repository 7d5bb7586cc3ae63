#pragma once
// The file system, in the shape of the kernel's file calls. Paths are
// Windows paths ("C:\\Program Files (x86)\\..."); the fake keeps the same
// rules (case-insensitive names, backslashes, doubled backslashes accepted).
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/result.h"

namespace orvello::platform {

enum class OpenMode {
  CreateNew,    // CREATE_NEW: fails with 80 when the file exists
  OpenAlways,   // OPEN_ALWAYS
  CreateAlways, // CREATE_ALWAYS: truncates
  OpenExisting, // OPEN_EXISTING
};

// An open file handle; closing happens when the object goes away.
class IFile {
 public:
  virtual ~IFile() = default;
  virtual Status Write(std::span<const uint8_t> bytes) = 0;
  // The whole file from its first byte, wherever the position was; the
  // position is at the end afterwards.
  virtual Result<std::vector<uint8_t>> ReadAll() = 0;
  virtual Status SeekToEnd() = 0;
  virtual Status SetEndOfFile() = 0;
};

struct DirectoryEntry {
  std::wstring name;  // file name only, as FindFirstFileW reports it
  bool isDirectory = false;
};

class IFiles {
 public:
  virtual ~IFiles() = default;
  virtual Result<std::unique_ptr<IFile>> Open(const std::wstring& path, OpenMode mode) = 0;
  // One level, like CreateDirectoryW: fails with 183 when it exists, 3 when the parent is missing.
  virtual Status CreateDirectory(const std::wstring& path) = 0;
  virtual Status RemoveDirectory(const std::wstring& path) = 0;
  virtual Status DeleteFile(const std::wstring& path) = 0;
  virtual Status CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) = 0;
  // FindFirstFileW/FindNextFileW over a pattern such as "C:\\dir\\*.*"; includes "." and "..".
  virtual Result<std::vector<DirectoryEntry>> Find(const std::wstring& pattern) = 0;
  // GetFileAttributesW: whether the path names something, and what.
  virtual bool Exists(const std::wstring& path) = 0;
  virtual bool IsDirectory(const std::wstring& path) = 0;
};

// Convenience on top of IFiles, shared by every caller that writes a whole file.
Status WriteWholeFile(IFiles& files, const std::wstring& path, std::span<const uint8_t> bytes);
Result<std::vector<uint8_t>> ReadWholeFile(IFiles& files, const std::wstring& path);
// Creates every missing level of a folder path (ignores "exists").
Status CreateDirectoryTree(IFiles& files, const std::wstring& path);

}  // namespace orvello::platform
