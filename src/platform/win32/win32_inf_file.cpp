// INF files through SetupAPI. SetupEnumInfSectionsW came with Windows
// Vista, so it is looked up at run time in the already loaded setupapi.dll.
#include "platform/win32/win32_inf_file.h"

#include <setupapi.h>

#include <vector>

namespace orvello::win32 {

using platform::InfLine;
using platform::Result;

namespace {

using EnumSectionsFn = BOOL(WINAPI*)(HINF, UINT, PWSTR, UINT, UINT*);

EnumSectionsFn EnumSections() {
  HMODULE setupapi = ::GetModuleHandleW(L"setupapi.dll");
  if (!setupapi) return nullptr;
  return reinterpret_cast<EnumSectionsFn>(
      reinterpret_cast<void*>(::GetProcAddress(setupapi, "SetupEnumInfSectionsW")));
}

uint32_t LastErrorOr(uint32_t fallback) {
  DWORD e = ::GetLastError();
  return e ? e : fallback;
}

// Field `index` of the line; nullopt when the line has no such field.
std::optional<std::wstring> Field(INFCONTEXT* context, DWORD index) {
  DWORD needed = 0;
  if (!::SetupGetStringFieldW(context, index, nullptr, 0, &needed) || needed == 0) return std::nullopt;
  std::vector<wchar_t> text(needed, L'\0');
  if (!::SetupGetStringFieldW(context, index, text.data(), needed, &needed)) return std::nullopt;
  return std::wstring(text.data());
}

class Win32InfFile : public platform::IInfFile {
 public:
  explicit Win32InfFile(HINF inf) : inf_(inf) {}
  ~Win32InfFile() override { ::SetupCloseInfFile(inf_); }
  Win32InfFile(const Win32InfFile&) = delete;
  Win32InfFile& operator=(const Win32InfFile&) = delete;

  std::vector<std::wstring> Sections() override {
    std::vector<std::wstring> names;
    EnumSectionsFn enumSections = EnumSections();
    if (!enumSections) return names;
    std::vector<wchar_t> name(256, L'\0');
    for (UINT i = 0;; ++i) {
      UINT needed = 0;
      if (!enumSections(inf_, i, name.data(), static_cast<UINT>(name.size()), &needed)) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= name.size()) break;  // 259 ends the list
        name.assign(needed, L'\0');
        if (!enumSections(inf_, i, name.data(), static_cast<UINT>(name.size()), &needed)) break;
      }
      names.emplace_back(name.data());
    }
    return names;
  }

  int32_t LineCount(const std::wstring& section) override { return ::SetupGetLineCountW(inf_, section.c_str()); }

  Result<InfLine> Line(const std::wstring& section, uint32_t index) override {
    INFCONTEXT context{};
    ::SetLastError(ERROR_SUCCESS);
    if (!::SetupGetLineByIndexW(inf_, section.c_str(), index, &context)) {
      return Result<InfLine>::Fail(LastErrorOr(ERROR_INVALID_FUNCTION));
    }
    InfLine line;
    line.key = Field(&context, 0).value_or(std::wstring());
    DWORD count = ::SetupGetFieldCount(&context);
    for (DWORD f = 1; f <= count; ++f) line.fields.push_back(Field(&context, f).value_or(std::wstring()));
    return Result<InfLine>::Ok(std::move(line));
  }

 private:
  HINF inf_;
};

}  // namespace

Result<std::unique_ptr<platform::IInfFile>> OpenInfFile(const std::wstring& path, const std::wstring& infClass) {
  using R = Result<std::unique_ptr<platform::IInfFile>>;
  UINT errorLine = 0;
  ::SetLastError(ERROR_SUCCESS);
  HINF inf = ::SetupOpenInfFileW(path.c_str(), infClass.empty() ? nullptr : infClass.c_str(), INF_STYLE_WIN4,
                                 &errorLine);
  if (inf == INVALID_HANDLE_VALUE) return R::Fail(LastErrorOr(ERROR_INVALID_FUNCTION));
  return R::Ok(std::make_unique<Win32InfFile>(inf));
}

}  // namespace orvello::win32
