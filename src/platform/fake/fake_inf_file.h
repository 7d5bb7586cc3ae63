#pragma once
// INF files read the way SetupAPI reads them, for the fake machine: sections
// (merged when a name repeats, found without regard to letter case), lines
// with an optional key before the first unquoted '=', comma-separated fields
// trimmed of surrounding blanks, double quotes that protect commas, blanks,
// ';' and '=' (a doubled quote inside quotes is one quote), comments from an
// unquoted ';', a trailing unquoted '\' that continues the line, and
// %name% replaced from [Strings] when a key or field is read ("%%" is one
// '%', an unknown name stays as written).
//
// The text is UTF-16LE with a byte-order mark, UTF-8 with one, or else
// 8-bit text read as Latin-1.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/devices.h"
#include "platform/files.h"
#include "platform/result.h"

namespace orvello::fake {

// SetupAPI's own error codes.
namespace inf_err {
inline constexpr uint32_t kExpectedSectionName = 0xE0000000;
inline constexpr uint32_t kWrongInfStyle = 0xE0000100;
inline constexpr uint32_t kSectionNotFound = 0xE0000101;
inline constexpr uint32_t kLineNotFound = 0xE0000102;
inline constexpr uint32_t kClassMismatch = 0xE0000203;
}  // namespace inf_err

class InfDocument {
 public:
  struct Line {
    std::optional<std::wstring> key;  // as written, before substitution
    std::vector<std::wstring> fields;
  };
  struct Section {
    std::wstring name;  // spelled as at its first occurrence
    std::vector<Line> lines;
  };

  // Fails with kExpectedSectionName when text other than comments comes
  // before the first section; errorLine (1-based) tells where.
  static platform::Result<InfDocument> Parse(std::span<const uint8_t> bytes, uint32_t* errorLine = nullptr);

  const std::vector<Section>& sections() const { return sections_; }
  const Section* Find(std::wstring_view name) const;
  // %name% replaced from [Strings].
  std::wstring Substitute(std::wstring_view text) const;
  // The substituted first field of `key` in `section`, or "" when absent.
  std::wstring Value(std::wstring_view section, std::wstring_view key) const;

 private:
  std::vector<Section> sections_;
};

// SetupOpenInfFileW(path, infClass, INF_STYLE_WIN4): the file must exist
// (2), carry a [Version] signature of a Windows 4 INF (kWrongInfStyle) and,
// when infClass is given, that class (kClassMismatch).
platform::Result<std::unique_ptr<platform::IInfFile>> OpenInfFile(platform::IFiles& files, const std::wstring& path,
                                                                    const std::wstring& infClass);
platform::Result<InfDocument> ReadInfDocument(platform::IFiles& files, const std::wstring& path,
                                              const std::wstring& infClass);

}  // namespace orvello::fake
