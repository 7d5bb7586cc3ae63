#include "system/folders.h"

#include "system/system_facts.h"

namespace orvello {

void DeleteFolderContents(platform::IFiles& files, const std::wstring& folder) {
  // Callers pass staging folders with and without the trailing backslash.
  const std::wstring prefix = WithTrailingBackslash(folder);
  platform::Result<std::vector<platform::DirectoryEntry>> entries = files.Find(prefix + L"*.*");
  if (!entries) return;
  for (const platform::DirectoryEntry& entry : entries.value) {
    if (entry.name == L"." || entry.name == L"..") continue;
    const std::wstring path = prefix + entry.name;
    if (entry.isDirectory) {
      DeleteFolderContents(files, path);
      files.RemoveDirectory(path);
    } else {
      files.DeleteFile(path);
    }
  }
}

}  // namespace orvello
