#include "app/command_line.h"

namespace orvello {

std::vector<std::wstring> SplitArguments(const std::wstring& s) {
  std::vector<std::wstring> words;
  size_t i = 0;
  const size_t n = s.size();
  while (true) {
    while (i < n && (s[i] == L' ' || s[i] == L'\t')) ++i;
    if (i >= n) break;
    std::wstring word;
    bool quoted = false;
    while (i < n) {
      wchar_t c = s[i];
      if (!quoted && (c == L' ' || c == L'\t')) break;
      if (c == L'\\') {
        size_t slashes = 0;
        while (i < n && s[i] == L'\\') {
          ++slashes;
          ++i;
        }
        if (i < n && s[i] == L'"') {
          word.append(slashes / 2, L'\\');
          if (slashes % 2) {
            word += L'"';
            ++i;
          }
        } else {
          word.append(slashes, L'\\');
        }
        continue;
      }
      if (c == L'"') {
        // A doubled quote inside a quoted run stands for one quote.
        if (quoted && i + 1 < n && s[i + 1] == L'"') {
          word += L'"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      word += c;
      ++i;
    }
    words.push_back(std::move(word));
  }
  return words;
}

bool HasDebugSwitch(const std::vector<std::wstring>& arguments) {
  for (const auto& a : arguments)
    if (a.find(L"-debug") != std::wstring::npos) return true;
  return false;
}

std::wstring ArgumentsAfterProgramName(const std::wstring& commandLine) {
  size_t i = 0;
  const size_t n = commandLine.size();
  while (i < n && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  if (i < n && commandLine[i] == L'"') {
    ++i;
    while (i < n && commandLine[i] != L'"') ++i;
    if (i < n) ++i;
  } else {
    while (i < n && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  return commandLine.substr(i);
}

}  // namespace orvello
