#include "platform/files.h"

namespace orvello::platform {

Status WriteWholeFile(IFiles& files, const std::wstring& path, std::span<const uint8_t> bytes) {
  auto file = files.Open(path, OpenMode::CreateAlways);
  if (!file) return file.status();
  return file.value->Write(bytes);
}

Result<std::vector<uint8_t>> ReadWholeFile(IFiles& files, const std::wstring& path) {
  auto file = files.Open(path, OpenMode::OpenExisting);
  if (!file) return Result<std::vector<uint8_t>>::Fail(file.error);
  return file.value->ReadAll();
}

Status CreateDirectoryTree(IFiles& files, const std::wstring& path) {
  // Walk the path one separator at a time. The drive ("C:") or share
  // ("\\server\share") at the front is never created.
  if (path.empty()) return Status::Fail(err::kPathNotFound);
  size_t start = 0;
  if (path.size() >= 2 && path[1] == L':') {
    start = 2;
  } else if (path.rfind(L"\\\\", 0) == 0) {
    size_t server = path.find(L'\\', 2);
    size_t share = server == std::wstring::npos ? std::wstring::npos : path.find(L'\\', server + 1);
    if (share == std::wstring::npos) return Status::Ok();
    start = share;
  }
  auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  for (size_t end = start + 1; end <= path.size(); ++end) {
    if (end < path.size() && !separator(path[end])) continue;
    if (separator(path[end - 1])) continue;  // doubled separators, or the one after the drive
    std::wstring level = path.substr(0, end);
    if (files.IsDirectory(level)) continue;
    Status made = files.CreateDirectory(level);
    // Someone else may have made it meanwhile; a file of that name is an error.
    if (made.error == err::kAlreadyExists && files.IsDirectory(level)) continue;
    if (!made) return made;
  }
  return Status::Ok();
}

}  // namespace orvello::platform
