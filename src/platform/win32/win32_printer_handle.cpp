#include "platform/win32/win32_printer_handle.h"

#include <algorithm>
#include <cstddef>

#include "platform/win32/win32_spooler_records.h"

namespace orvello::win32 {

using platform::DevMode;
using platform::DriverInfo;
using platform::FormInfo1;
using platform::PrinterDataValue;
using platform::PrinterInfo;
using platform::PrinterInfo2;
using platform::Result;
using platform::Status;
using namespace spool;

namespace {

Status LastStatus() { return Status::Fail(FailureCode()); }

FormInfo1 FromForm(const FORM_INFO_1W& f) {
  return FormInfo1{f.Flags,
                   Text(f.pName),
                   static_cast<int32_t>(f.Size.cx),
                   static_cast<int32_t>(f.Size.cy),
                   static_cast<int32_t>(f.ImageableArea.left),
                   static_cast<int32_t>(f.ImageableArea.top),
                   static_cast<int32_t>(f.ImageableArea.right),
                   static_cast<int32_t>(f.ImageableArea.bottom)};
}

class Win32PrinterHandle : public platform::IPrinterHandle {
 public:
  explicit Win32PrinterHandle(UniquePrinterHandle handle) : handle_(std::move(handle)) {}

  Result<PrinterInfo> GetPrinter(uint32_t level) override {
    auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
      return ::GetPrinterW(handle_.get(), level, buf, size, needed);
    });
    if (!bytes) return Result<PrinterInfo>::Fail(bytes.error);
    if (bytes.value.empty()) return Result<PrinterInfo>::Fail(ERROR_INVALID_DATA);
    return Result<PrinterInfo>::Ok(FromPrinterInfo(bytes.value.data(), level));
  }

  Result<PrinterInfo2> GetPrinter2() override {
    auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
      return ::GetPrinterW(handle_.get(), 2, buf, size, needed);
    });
    if (!bytes) return Result<PrinterInfo2>::Fail(bytes.error);
    if (bytes.value.size() < sizeof(PRINTER_INFO_2W)) return Result<PrinterInfo2>::Fail(ERROR_INVALID_DATA);
    return Result<PrinterInfo2>::Ok(FromPrinterInfo2(*reinterpret_cast<const PRINTER_INFO_2W*>(bytes.value.data())));
  }

  Status SetPrinter2(const PrinterInfo2& info) override {
    PrinterInfo2Call call;
    ToPrinterInfo2(info, &call);
    ClearLastError();
    if (!::SetPrinterW(handle_.get(), 2, reinterpret_cast<BYTE*>(&call.raw), 0)) return LastStatus();
    return Status::Ok();
  }

  Status SetPrinter7(uint32_t action) override {
    PRINTER_INFO_7W info{};
    info.pszObjectGUID = nullptr;
    info.dwAction = action;
    ClearLastError();
    if (!::SetPrinterW(handle_.get(), 7, reinterpret_cast<BYTE*>(&info), 0)) return LastStatus();
    return Status::Ok();
  }

  Status ControlPrinter(uint32_t command) override {
    ClearLastError();
    if (!::SetPrinterW(handle_.get(), 0, nullptr, command)) return LastStatus();
    return Status::Ok();
  }

  Status DeletePrinter() override {
    ClearLastError();
    if (!::DeletePrinter(handle_.get())) return LastStatus();
    return Status::Ok();
  }

  Result<DriverInfo> GetPrinterDriver(const std::wstring& environment, uint32_t level) override {
    size_t recordSize = DriverInfoSize(level);
    if (recordSize == 0) return Result<DriverInfo>::Fail(ERROR_INVALID_LEVEL);
    auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
      return ::GetPrinterDriverW(handle_.get(), OrNull(environment), level, buf, size, needed);
    });
    if (!bytes) return Result<DriverInfo>::Fail(bytes.error);
    if (bytes.value.size() < recordSize) return Result<DriverInfo>::Fail(ERROR_INVALID_DATA);
    return Result<DriverInfo>::Ok(FromDriverInfo(bytes.value.data(), level));
  }

  Result<PrinterDataValue> GetPrinterDataEx(const std::wstring& key, const std::wstring& value, uint32_t bufferSize,
                                            uint32_t* needed) override {
    PrinterDataValue out;
    out.data.assign(bufferSize, 0);
    DWORD type = 0, size = 0;
    DWORD status = ::GetPrinterDataExW(handle_.get(), key.c_str(), value.c_str(), &type,
                                       bufferSize ? out.data.data() : nullptr, bufferSize, &size);
    if (needed) *needed = size;
    if (status != ERROR_SUCCESS) return Result<PrinterDataValue>::Fail(status);
    out.type = type;
    out.data.resize(std::min<size_t>(size, bufferSize));
    return Result<PrinterDataValue>::Ok(std::move(out));
  }

  Status SetPrinterDataEx(const std::wstring& key, const std::wstring& value, uint32_t type,
                          const std::vector<uint8_t>& data) override {
    DWORD status = ::SetPrinterDataExW(handle_.get(), key.c_str(), value.c_str(), type,
                                       const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    return status == ERROR_SUCCESS ? Status::Ok() : Status::Fail(status);
  }

  Result<int32_t> DocumentProperties(uintptr_t ownerWindow, const std::wstring& printerName, DevMode* out,
                                     const DevMode* in, uint32_t mode) override {
    HWND owner = reinterpret_cast<HWND>(ownerWindow);
    LPWSTR name = OrNull(printerName);
    if ((mode & platform::kDmOutBuffer) && out && out->bytes.empty()) {
      ClearLastError();
      LONG size = ::DocumentPropertiesW(owner, handle_.get(), name, nullptr, nullptr, 0);
      if (size < 0) return Result<int32_t>{size, FailureCode()};
      out->bytes.assign(static_cast<size_t>(size), 0);
    }
    std::vector<BYTE> input;
    if (in && !in->bytes.empty()) input = in->bytes;
    DEVMODEW* outDm = (mode & platform::kDmOutBuffer) && out ? reinterpret_cast<DEVMODEW*>(out->bytes.data()) : nullptr;
    DEVMODEW* inDm = input.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(input.data());
    ClearLastError();
    LONG result = ::DocumentPropertiesW(owner, handle_.get(), name, outDm, inDm, mode);
    if (result < 0) return Result<int32_t>{result, FailureCode()};
    if (outDm && result == IDOK && out->bytes.size() >= offsetof(DEVMODEW, dmFields)) {
      // Keep exactly the DEVMODE the driver wrote.
      size_t size = static_cast<size_t>(outDm->dmSize) + outDm->dmDriverExtra;
      if (size <= out->bytes.size()) out->bytes.resize(size);
    }
    return Result<int32_t>::Ok(result);
  }

  Result<uint32_t> XcvData(const std::wstring& command, const std::vector<uint8_t>& input,
                           std::vector<uint8_t>* output, uint32_t outputSize) override {
    std::vector<BYTE> in(input.begin(), input.end());
    std::vector<BYTE> outBuffer(output ? outputSize : 0);
    DWORD needed = 0, status = 0;
    ClearLastError();
    BOOL ok = ::XcvDataW(handle_.get(), command.c_str(), in.empty() ? nullptr : in.data(),
                         static_cast<DWORD>(in.size()), outBuffer.empty() ? nullptr : outBuffer.data(),
                         static_cast<DWORD>(outBuffer.size()), &needed, &status);
    if (!ok) return Result<uint32_t>::Fail(FailureCode());
    if (output) {
      outBuffer.resize(std::min<size_t>(needed, outBuffer.size()));
      output->assign(outBuffer.begin(), outBuffer.end());
    }
    return Result<uint32_t>::Ok(status);
  }

  Result<std::vector<FormInfo1>> EnumForms1() override {
    using R = Result<std::vector<FormInfo1>>;
    DWORD count = 0;
    auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
      return ::EnumFormsW(handle_.get(), 1, buf, size, needed, &count);
    });
    if (!bytes) return R::Fail(bytes.error);
    std::vector<FormInfo1> forms;
    auto* records = reinterpret_cast<const FORM_INFO_1W*>(bytes.value.data());
    for (DWORD i = 0; i < count; ++i) forms.push_back(FromForm(records[i]));
    return R::Ok(std::move(forms));
  }

  Result<FormInfo1> GetForm1(const std::wstring& name) override {
    auto bytes = QueryBytes([&](BYTE* buf, DWORD size, DWORD* needed) {
      return ::GetFormW(handle_.get(), const_cast<LPWSTR>(name.c_str()), 1, buf, size, needed);
    });
    if (!bytes) return Result<FormInfo1>::Fail(bytes.error);
    if (bytes.value.size() < sizeof(FORM_INFO_1W)) return Result<FormInfo1>::Fail(ERROR_INVALID_DATA);
    return Result<FormInfo1>::Ok(FromForm(*reinterpret_cast<const FORM_INFO_1W*>(bytes.value.data())));
  }

  Status DeleteForm(const std::wstring& name) override {
    ClearLastError();
    if (!::DeleteFormW(handle_.get(), const_cast<LPWSTR>(name.c_str()))) return LastStatus();
    return Status::Ok();
  }

 private:
  UniquePrinterHandle handle_;
};

}  // namespace

std::unique_ptr<platform::IPrinterHandle> MakePrinterHandle(UniquePrinterHandle handle) {
  return std::make_unique<Win32PrinterHandle>(std::move(handle));
}

}  // namespace orvello::win32
