#include "platform/win32/win32_spooler.h"

#include "platform/win32/win32_printer_handle.h"
#include "platform/win32/win32_spooler_records.h"

namespace orvello::win32 {

using platform::DriverInfo;
using platform::DriverInfo3;
using platform::MonitorInfo2;
using platform::PortInfo2;
using platform::PrinterInfo2;
using platform::Result;
using platform::Status;
using namespace spool;

namespace {

using UploadFn = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, HWND, LPWSTR, PULONG);
using InstallFn = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, DWORD);
using DeletePackageFn = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR);

constexpr ULONG kDriverStorePathChars = 1024;

Status LastStatus() { return Status::Fail(FailureCode()); }

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::wstring SystemFolderFile(const wchar_t* fileName) {
  wchar_t folder[MAX_PATH + 1] = {};
  UINT n = ::GetSystemDirectoryW(folder, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  std::wstring path(folder, n);
  if (path.back() != L'\\') path += L'\\';
  return path + fileName;
}

// Keeps the strings of a DRIVER_INFO_3W alive for the call.
struct DriverInfo3Call {
  DRIVER_INFO_3W raw{};
  std::vector<wchar_t> dependentFiles;
};

void ToDriverInfo3(const DriverInfo3& info, DriverInfo3Call* call) {
  DRIVER_INFO_3W& r = call->raw;
  r.cVersion = info.version;
  r.pName = OrNull(info.name);
  r.pEnvironment = OrNull(info.environment);
  r.pDriverPath = OrNull(info.driverPath);
  r.pDataFile = OrNull(info.dataFile);
  r.pConfigFile = OrNull(info.configFile);
  r.pHelpFile = OrNull(info.helpFile);
  call->dependentFiles = MakeMultiSz(info.dependentFiles);
  r.pDependentFiles = call->dependentFiles.empty() ? nullptr : call->dependentFiles.data();
  r.pMonitorName = OrNull(info.monitorName);
  r.pDefaultDataType = OrNull(info.defaultDataType);
}

template <class Record, class Out, class Convert>
Result<std::vector<Out>> Records(const Result<std::vector<BYTE>>& bytes, DWORD count, Convert convert) {
  if (!bytes) return Result<std::vector<Out>>::Fail(bytes.error);
  std::vector<Out> out;
  auto* records = reinterpret_cast<const Record*>(bytes.value.data());
  for (DWORD i = 0; i < count; ++i) out.push_back(convert(records[i]));
  return Result<std::vector<Out>>::Ok(std::move(out));
}

// DeviceCapabilitiesW: the count first, then the array.
template <class Item>
Result<std::vector<Item>> Capability(const std::wstring& printer, const std::wstring& port, WORD capability,
                                     size_t unitsPerItem) {
  using R = Result<std::vector<Item>>;
  ClearLastError();
  int count = ::DeviceCapabilitiesW(printer.c_str(), OrNull(port), capability, nullptr, nullptr);
  if (count < 0) return R::Fail(FailureCode());
  std::vector<Item> items(static_cast<size_t>(count) * unitsPerItem + 1);
  ClearLastError();
  count = ::DeviceCapabilitiesW(printer.c_str(), OrNull(port), capability, reinterpret_cast<LPWSTR>(items.data()),
                                nullptr);
  if (count < 0) return R::Fail(FailureCode());
  items.resize(static_cast<size_t>(count) * unitsPerItem);
  return R::Ok(std::move(items));
}

}  // namespace

struct Win32Spooler::DriverStoreCalls {
  UniqueModule winspool;
  UploadFn upload = nullptr;
  InstallFn install = nullptr;
  DeletePackageFn deletePackage = nullptr;
};

Win32Spooler::Win32Spooler() : store_(std::make_unique<DriverStoreCalls>()) {
  std::wstring path = SystemFolderFile(L"winspool.drv");
  if (!path.empty()) store_->winspool.reset(::LoadLibraryW(path.c_str()));
  HMODULE m = store_->winspool.get();
  store_->upload = Lookup<UploadFn>(m, "UploadPrinterDriverPackageW");
  store_->install = Lookup<InstallFn>(m, "InstallPrinterDriverFromPackageW");
  store_->deletePackage = Lookup<DeletePackageFn>(m, "DeletePrinterDriverPackageW");
}

Win32Spooler::~Win32Spooler() = default;

Result<std::unique_ptr<platform::IPrinterHandle>> Win32Spooler::OpenPrinter(const std::wstring& name, uint32_t access) {
  using R = Result<std::unique_ptr<platform::IPrinterHandle>>;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
  HANDLE h = nullptr;
  ClearLastError();
  if (!::OpenPrinterW(OrNull(name), &h, &defaults)) return R::Fail(FailureCode());
  return R::Ok(MakePrinterHandle(UniquePrinterHandle(h)));
}

Result<std::vector<PrinterInfo2>> Win32Spooler::EnumPrinters2(uint32_t flags) {
  DWORD count = 0;
  auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
    return ::EnumPrintersW(flags, nullptr, 2, buf, size, needed, &count);
  });
  return Records<PRINTER_INFO_2W, PrinterInfo2>(bytes, count, FromPrinterInfo2);
}

Result<std::vector<PortInfo2>> Win32Spooler::EnumPorts2() {
  DWORD count = 0;
  auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
    return ::EnumPortsW(nullptr, 2, buf, size, needed, &count);
  });
  return Records<PORT_INFO_2W, PortInfo2>(bytes, count, [](const PORT_INFO_2W& p) {
    return PortInfo2{Text(p.pPortName), Text(p.pMonitorName), Text(p.pDescription), p.fPortType};
  });
}

Result<std::vector<MonitorInfo2>> Win32Spooler::EnumMonitors2() {
  DWORD count = 0;
  auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
    return ::EnumMonitorsW(nullptr, 2, buf, size, needed, &count);
  });
  return Records<MONITOR_INFO_2W, MonitorInfo2>(bytes, count, [](const MONITOR_INFO_2W& m) {
    return MonitorInfo2{Text(m.pName), Text(m.pEnvironment), Text(m.pDLLName)};
  });
}

Result<std::vector<DriverInfo>> Win32Spooler::EnumPrinterDrivers(const std::wstring& environment, uint32_t level) {
  using R = Result<std::vector<DriverInfo>>;
  size_t recordSize = DriverInfoSize(level);
  if (recordSize == 0) return R::Fail(ERROR_INVALID_LEVEL);
  DWORD count = 0;
  auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
    return ::EnumPrinterDriversW(nullptr, OrNull(environment), level, buf, size, needed, &count);
  });
  if (!bytes) return R::Fail(bytes.error);
  std::vector<DriverInfo> out;
  for (DWORD i = 0; i < count; ++i) out.push_back(FromDriverInfo(bytes.value.data() + i * recordSize, level));
  return R::Ok(std::move(out));
}

Status Win32Spooler::AddPrinterDriver3(const DriverInfo3& info) {
  DriverInfo3Call call;
  ToDriverInfo3(info, &call);
  ClearLastError();
  if (!::AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&call.raw))) return LastStatus();
  return Status::Ok();
}

Status Win32Spooler::AddPrinterDriverEx3(const DriverInfo3& info, uint32_t flags) {
  DriverInfo3Call call;
  ToDriverInfo3(info, &call);
  ClearLastError();
  if (!::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&call.raw), flags)) return LastStatus();
  return Status::Ok();
}

Status Win32Spooler::DeletePrinterDriverEx(const std::wstring& environment, const std::wstring& driverName,
                                           uint32_t deleteFlags, uint32_t versionFlag) {
  ClearLastError();
  if (!::DeletePrinterDriverExW(nullptr, OrNull(environment), const_cast<LPWSTR>(driverName.c_str()), deleteFlags,
                                versionFlag)) {
    return LastStatus();
  }
  return Status::Ok();
}

Result<std::wstring> Win32Spooler::GetPrinterDriverDirectory(const std::wstring& environment) {
  auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
    return ::GetPrinterDriverDirectoryW(nullptr, OrNull(environment), 1, buf, size, needed);
  });
  if (!bytes) return Result<std::wstring>::Fail(bytes.error);
  std::wstring dir;
  const auto* chars = reinterpret_cast<const wchar_t*>(bytes.value.data());
  size_t n = bytes.value.size() / sizeof(wchar_t);
  for (size_t i = 0; i < n && chars[i]; ++i) dir.push_back(chars[i]);
  if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  return Result<std::wstring>::Ok(std::move(dir));
}

platform::DriverStoreExports Win32Spooler::DriverStore() {
  return platform::DriverStoreExports{store_->upload != nullptr, store_->install != nullptr,
                                      store_->deletePackage != nullptr};
}

std::optional<platform::DriverPackageUpload> Win32Spooler::UploadPrinterDriverPackage(const std::wstring& infPath,
                                                                                      const std::wstring& environment,
                                                                                      uint32_t flags) {
  if (!store_->upload) return std::nullopt;
  std::vector<wchar_t> destination(kDriverStorePathChars, L'\0');
  ULONG chars = kDriverStorePathChars;
  HRESULT hr = store_->upload(nullptr, infPath.c_str(), OrNull(environment), flags, nullptr, destination.data(), &chars);
  platform::DriverPackageUpload out;
  out.hresult = static_cast<uint32_t>(hr);
  if (SUCCEEDED(hr)) out.driverStoreInfPath = destination.data();
  return out;
}

std::optional<uint32_t> Win32Spooler::InstallPrinterDriverFromPackage(const std::wstring& driverStoreInfPath,
                                                                      const std::wstring& driverName,
                                                                      const std::wstring& environment, uint32_t flags) {
  if (!store_->install) return std::nullopt;
  return static_cast<uint32_t>(
      store_->install(nullptr, driverStoreInfPath.c_str(), driverName.c_str(), OrNull(environment), flags));
}

std::optional<uint32_t> Win32Spooler::DeletePrinterDriverPackage(const std::wstring& driverStoreInfPath,
                                                                 const std::wstring& environment) {
  if (!store_->deletePackage) return std::nullopt;
  return static_cast<uint32_t>(store_->deletePackage(nullptr, driverStoreInfPath.c_str(), OrNull(environment)));
}

Result<std::unique_ptr<platform::IPrinterHandle>> Win32Spooler::AddPrinter2(const PrinterInfo2& info) {
  using R = Result<std::unique_ptr<platform::IPrinterHandle>>;
  PrinterInfo2Call call;
  ToPrinterInfo2(info, &call);
  ClearLastError();
  HANDLE h = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&call.raw));
  if (!h) return R::Fail(FailureCode());
  return R::Ok(MakePrinterHandle(UniquePrinterHandle(h)));
}

Status Win32Spooler::SetDefaultPrinter(const std::wstring& name) {
  ClearLastError();
  if (!::SetDefaultPrinterW(OrNull(name))) return LastStatus();
  return Status::Ok();
}

Result<std::wstring> Win32Spooler::GetDefaultPrinter() {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD chars = 0;
    ClearLastError();
    if (!::GetDefaultPrinterW(nullptr, &chars) && ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      return Result<std::wstring>::Fail(FailureCode());
    }
    std::vector<wchar_t> name(chars + 1, L'\0');
    DWORD size = static_cast<DWORD>(name.size());
    ClearLastError();
    if (::GetDefaultPrinterW(name.data(), &size)) return Result<std::wstring>::Ok(name.data());
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return Result<std::wstring>::Fail(FailureCode());
  }
  return Result<std::wstring>::Fail(ERROR_INSUFFICIENT_BUFFER);
}

Status Win32Spooler::AddMonitor2(const MonitorInfo2& info) {
  MONITOR_INFO_2W raw{OrNull(info.name), OrNull(info.environment), OrNull(info.dllName)};
  ClearLastError();
  if (!::AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&raw))) return LastStatus();
  return Status::Ok();
}

Status Win32Spooler::DeleteMonitor(const std::wstring& environment, const std::wstring& name) {
  ClearLastError();
  if (!::DeleteMonitorW(nullptr, OrNull(environment), const_cast<LPWSTR>(name.c_str()))) return LastStatus();
  return Status::Ok();
}

Status Win32Spooler::AddPort(uintptr_t ownerWindow, const std::wstring& monitorName) {
  ClearLastError();
  if (!::AddPortW(nullptr, reinterpret_cast<HWND>(ownerWindow), const_cast<LPWSTR>(monitorName.c_str()))) {
    return LastStatus();
  }
  return Status::Ok();
}

Status Win32Spooler::ConfigurePort(uintptr_t ownerWindow, const std::wstring& portName) {
  ClearLastError();
  if (!::ConfigurePortW(nullptr, reinterpret_cast<HWND>(ownerWindow), const_cast<LPWSTR>(portName.c_str()))) {
    return LastStatus();
  }
  return Status::Ok();
}

Status Win32Spooler::DeletePort(uintptr_t ownerWindow, const std::wstring& portName) {
  ClearLastError();
  if (!::DeletePortW(nullptr, reinterpret_cast<HWND>(ownerWindow), const_cast<LPWSTR>(portName.c_str()))) {
    return LastStatus();
  }
  return Status::Ok();
}

Result<std::vector<std::wstring>> Win32Spooler::DevicePaperNames(const std::wstring& printerName,
                                                                 const std::wstring& portName) {
  using R = Result<std::vector<std::wstring>>;
  constexpr size_t kNameChars = 64;
  auto chars = Capability<wchar_t>(printerName, portName, DC_PAPERNAMES, kNameChars);
  if (!chars) return R::Fail(chars.error);
  std::vector<std::wstring> names;
  for (size_t at = 0; at + kNameChars <= chars.value.size(); at += kNameChars) {
    const wchar_t* name = chars.value.data() + at;
    size_t length = 0;
    while (length < kNameChars && name[length]) ++length;  // a name of all 64 characters has no NUL
    names.emplace_back(name, length);
  }
  return R::Ok(std::move(names));
}

Result<std::vector<uint16_t>> Win32Spooler::DevicePapers(const std::wstring& printerName, const std::wstring& portName) {
  return Capability<uint16_t>(printerName, portName, DC_PAPERS, 1);
}

Result<std::vector<platform::PaperSize>> Win32Spooler::DevicePaperSizes(const std::wstring& printerName,
                                                                        const std::wstring& portName) {
  using R = Result<std::vector<platform::PaperSize>>;
  auto points = Capability<POINT>(printerName, portName, DC_PAPERSIZE, 1);
  if (!points) return R::Fail(points.error);
  std::vector<platform::PaperSize> sizes;
  for (const POINT& p : points.value) sizes.push_back(platform::PaperSize{p.x, p.y});
  return R::Ok(std::move(sizes));
}

}  // namespace orvello::win32
