#pragma once
// Between the spooler's Win32 records and the platform's value records, and
// the size-query-then-read pattern every Get and Enum call follows.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/spooler.h"
#include "platform/win32/winspool_api.h"

namespace orvello::win32::spool {

// Null strings read as empty; empty strings are passed as null.
std::wstring Text(const wchar_t* s);
LPWSTR OrNull(const std::wstring& s);
// A MULTI_SZ list: names each ended by a NUL, the list ended by another.
std::vector<std::wstring> ReadMultiSz(const wchar_t* s);
std::vector<wchar_t> MakeMultiSz(const std::vector<std::wstring>& names);
uint64_t FileTimeValue(const FILETIME& ft);
// Some spooler calls (Wine's above all) fail without setting an error
// code. The last error is cleared before each call, and a failure that
// leaves it clear reads as ERROR_INVALID_FUNCTION.
inline void ClearLastError() { ::SetLastError(ERROR_SUCCESS); }
uint32_t FailureCode();

platform::DevMode CopyDevMode(const DEVMODEW* dm);
platform::PrinterInfo2 FromPrinterInfo2(const PRINTER_INFO_2W& p);
platform::PrinterInfo FromPrinterInfo(const BYTE* record, uint32_t level);
platform::DriverInfo FromDriverInfo(const BYTE* record, uint32_t level);
size_t DriverInfoSize(uint32_t level);  // 0 for a level that does not exist

// A PRINTER_INFO_2W that points into the record it was made from (which
// must outlive it) and into its own copy of the DEVMODE.
struct PrinterInfo2Call {
  PRINTER_INFO_2W raw{};
  std::vector<BYTE> devMode;
};
void ToPrinterInfo2(const platform::PrinterInfo2& info, PrinterInfo2Call* call);

// Calls call(buffer, size, &needed) first without a buffer, then with one of
// the size it asked for, until it succeeds or fails with anything but
// ERROR_INSUFFICIENT_BUFFER.
template <class Call>
platform::Result<std::vector<BYTE>> QueryBytes(Call call) {
  using R = platform::Result<std::vector<BYTE>>;
  std::vector<BYTE> buffer;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = 0;
    ClearLastError();
    if (call(buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
      return R::Ok(std::move(buffer));
    }
    DWORD error = ::GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return R::Fail(error ? error : ERROR_INVALID_FUNCTION);
    buffer.assign(needed, 0);  // the answer may grow between the calls, hence the loop
  }
  return R::Fail(ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace orvello::win32::spool
