#pragma once
// Splits a command line into arguments by the rules of CommandLineToArgvW,
// for the build that has no C runtime to do it (and no shell32 to ask).
// Needs nothing but the language itself, so that the rules can be checked
// against the system's own splitter.
//
//  - The program name ends at the first blank or tab, or, when it starts
//    with a double quote, at the next double quote; backslashes are plain
//    characters in it.
//  - Other arguments are separated by blanks and tabs outside quotes.
//  - 2n backslashes before a double quote give n backslashes and the quote
//    opens or closes a quoted part; 2n+1 give n backslashes and a literal
//    quote. Backslashes before anything else stay as they are.
//  - Inside quotes, two double quotes give one literal quote and end the
//    quoted part.

namespace orvello::devcon {

inline bool IsCommandLineBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

inline int CommandLineLength(const wchar_t* line) {
  int n = 0;
  while (line[n]) ++n;
  return n;
}

// `buffer` needs CommandLineLength(line) + 1 characters and `args`
// CommandLineLength(line) + 1 entries; the arguments point into `buffer`.
// Returns the number of arguments.
inline int SplitCommandLine(const wchar_t* line, wchar_t* buffer, wchar_t** args) {
  const wchar_t* s = line;
  wchar_t* d = buffer;
  int count = 0;

  args[count++] = d;
  if (*s == L'"') {
    ++s;
    while (*s && *s != L'"') *d++ = *s++;
    if (*s) ++s;
  } else {
    while (*s && !IsCommandLineBlank(*s)) *d++ = *s++;
  }
  *d++ = 0;

  for (;;) {
    while (IsCommandLineBlank(*s)) ++s;
    if (!*s) break;
    args[count++] = d;
    bool quoted = false;
    while (*s) {
      if (!quoted && IsCommandLineBlank(*s)) break;
      if (*s == L'\\') {
        int slashes = 0;
        while (*s == L'\\') {
          ++slashes;
          ++s;
        }
        if (*s == L'"') {
          for (int i = 0; i < slashes / 2; ++i) *d++ = L'\\';
          if (slashes % 2) {
            *d++ = L'"';
            ++s;
          }
          // An even count leaves the quote to the code below.
        } else {
          for (int i = 0; i < slashes; ++i) *d++ = L'\\';
        }
        continue;
      }
      if (*s == L'"') {
        if (!quoted) {
          quoted = true;
          ++s;
        } else if (s[1] == L'"') {
          *d++ = L'"';
          s += 2;
          quoted = false;
        } else {
          quoted = false;
          ++s;
        }
        continue;
      }
      *d++ = *s++;
    }
    *d++ = 0;
  }
  return count;
}

}  // namespace orvello::devcon
