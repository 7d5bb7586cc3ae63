#pragma once
// IFiles over the kernel's file calls. OpenExisting opens for reading and
// lets others read and write; the other modes open for reading and writing
// and let others read. Nobody is given delete sharing.
#include "platform/files.h"

namespace orvello::win32 {

class Win32Files : public platform::IFiles {
 public:
  platform::Result<std::unique_ptr<platform::IFile>> Open(const std::wstring& path,
                                                          platform::OpenMode mode) override;
  platform::Status CreateDirectory(const std::wstring& path) override;
  platform::Status RemoveDirectory(const std::wstring& path) override;
  platform::Status DeleteFile(const std::wstring& path) override;
  platform::Status CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override;
  platform::Result<std::vector<platform::DirectoryEntry>> Find(const std::wstring& pattern) override;
  bool Exists(const std::wstring& path) override;
  bool IsDirectory(const std::wstring& path) override;
};

}  // namespace orvello::win32
