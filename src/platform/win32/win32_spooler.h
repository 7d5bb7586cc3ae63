#pragma once
// The print spooler through winspool.drv. The driver-store calls are looked
// up at run time in winspool.drv, loaded from the system folder by its full
// path, so that the program also starts where they do not exist.
#include <memory>

#include "platform/spooler.h"

namespace orvello::win32 {

class Win32Spooler : public platform::ISpooler {
 public:
  Win32Spooler();
  ~Win32Spooler() override;
  Win32Spooler(const Win32Spooler&) = delete;
  Win32Spooler& operator=(const Win32Spooler&) = delete;

  platform::Result<std::unique_ptr<platform::IPrinterHandle>> OpenPrinter(const std::wstring& name,
                                                                          uint32_t access) override;
  platform::Result<std::vector<platform::PrinterInfo2>> EnumPrinters2(uint32_t flags) override;
  platform::Result<std::vector<platform::PortInfo2>> EnumPorts2() override;
  platform::Result<std::vector<platform::MonitorInfo2>> EnumMonitors2() override;
  platform::Result<std::vector<platform::DriverInfo>> EnumPrinterDrivers(const std::wstring& environment,
                                                                         uint32_t level) override;
  platform::Status AddPrinterDriver3(const platform::DriverInfo3& info) override;
  platform::Status AddPrinterDriverEx3(const platform::DriverInfo3& info, uint32_t flags) override;
  platform::Status DeletePrinterDriverEx(const std::wstring& environment, const std::wstring& driverName,
                                         uint32_t deleteFlags, uint32_t versionFlag) override;
  platform::Result<std::wstring> GetPrinterDriverDirectory(const std::wstring& environment) override;
  platform::DriverStoreExports DriverStore() override;
  std::optional<platform::DriverPackageUpload> UploadPrinterDriverPackage(const std::wstring& infPath,
                                                                          const std::wstring& environment,
                                                                          uint32_t flags) override;
  std::optional<uint32_t> InstallPrinterDriverFromPackage(const std::wstring& driverStoreInfPath,
                                                           const std::wstring& driverName,
                                                           const std::wstring& environment,
                                                           uint32_t flags) override;
  std::optional<uint32_t> DeletePrinterDriverPackage(const std::wstring& driverStoreInfPath,
                                                      const std::wstring& environment) override;
  platform::Result<std::unique_ptr<platform::IPrinterHandle>> AddPrinter2(const platform::PrinterInfo2& info) override;
  platform::Status SetDefaultPrinter(const std::wstring& name) override;
  platform::Result<std::wstring> GetDefaultPrinter() override;
  platform::Status AddMonitor2(const platform::MonitorInfo2& info) override;
  platform::Status DeleteMonitor(const std::wstring& environment, const std::wstring& name) override;
  platform::Status AddPort(uintptr_t ownerWindow, const std::wstring& monitorName) override;
  platform::Status ConfigurePort(uintptr_t ownerWindow, const std::wstring& portName) override;
  platform::Status DeletePort(uintptr_t ownerWindow, const std::wstring& portName) override;
  platform::Result<std::vector<std::wstring>> DevicePaperNames(const std::wstring& printerName,
                                                               const std::wstring& portName) override;
  platform::Result<std::vector<uint16_t>> DevicePapers(const std::wstring& printerName,
                                                       const std::wstring& portName) override;
  platform::Result<std::vector<platform::PaperSize>> DevicePaperSizes(const std::wstring& printerName,
                                                                      const std::wstring& portName) override;

 private:
  struct DriverStoreCalls;
  std::unique_ptr<DriverStoreCalls> store_;
};

}  // namespace orvello::win32
