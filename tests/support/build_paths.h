#pragma once
// Paths of the build tree as a Windows test sees them. The tree is a Linux
// path when cross-compiled; Wine shows the Linux file system as drive Z:.
#include <string>

#include "system/text.h"

namespace orvello::test {

inline std::wstring WindowsPath(std::wstring path) {
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  if (!path.empty() && path[0] == L'\\') path = L"Z:" + path;
  return path;
}

inline std::wstring WindowsPath(const char* linuxPath) { return WindowsPath(Utf8ToWide(linuxPath)); }

}  // namespace orvello::test
