#pragma once
// The print spooler (winspool.drv), in the shape of its records and calls.
// Records carry the fields of the Win32 structures the program reads or
// fills; strings that Win32 leaves null are empty here.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace orvello::platform {

// PORT_INFO_2W
struct PortInfo2 {
  std::wstring portName;
  std::wstring monitorName;
  std::wstring description;
  uint32_t portType = 0;
};

// MONITOR_INFO_2W
struct MonitorInfo2 {
  std::wstring name;
  std::wstring environment;
  std::wstring dllName;
};

// DRIVER_INFO_3W
struct DriverInfo3 {
  uint32_t version = 3;
  std::wstring name;
  std::wstring environment;
  std::wstring driverPath;
  std::wstring dataFile;
  std::wstring configFile;
  std::wstring helpFile;
  std::vector<std::wstring> dependentFiles;  // the MULTI_SZ list
  std::wstring monitorName;
  std::wstring defaultDataType;
};

// DRIVER_INFO_8W, the members the program reads.
struct DriverInfo8 {
  uint32_t version = 3;
  std::wstring name;
  std::wstring environment;
  std::wstring driverPath;
  std::wstring dataFile;
  std::wstring configFile;
  std::wstring helpFile;
  std::vector<std::wstring> dependentFiles;
  std::wstring monitorName;
  std::wstring defaultDataType;
  std::wstring mfgName;
  std::wstring oemUrl;
  std::wstring hardwareId;
  std::wstring provider;
  std::wstring printProcessor;
  std::wstring vendorSetup;
  std::wstring infPath;  // pszzPreviousNames is not read; pszInfPath is
  uint64_t driverVersion = 0;
  uint32_t printerDriverAttributes = 0;
};

// DEVMODEW as opaque bytes; the program only passes it around.
struct DevMode {
  std::vector<uint8_t> bytes;
};

// PRINTER_INFO_2W
struct PrinterInfo2 {
  std::wstring serverName;
  std::wstring printerName;
  std::wstring shareName;
  std::wstring portName;
  std::wstring driverName;
  std::wstring comment;
  std::wstring location;
  std::optional<DevMode> devMode;
  std::wstring sepFile;
  std::wstring printProcessor;
  std::wstring dataType;
  std::wstring parameters;
  uint32_t attributes = 0;
  uint32_t priority = 0;
  uint32_t defaultPriority = 0;
  uint32_t startTime = 0;
  uint32_t untilTime = 0;
  uint32_t status = 0;
  uint32_t jobs = 0;
  uint32_t averagePpm = 0;
};

// PRINTER_INFO_4W-like view of EnumPrinters level 2 is PrinterInfo2; level 4 only names.
struct PrinterInfo4 {
  std::wstring printerName;
  std::wstring serverName;
  uint32_t attributes = 0;
};

// FORM_INFO_1W
struct FormInfo1 {
  uint32_t flags = 0;
  std::wstring name;
  int32_t width = 0, height = 0;                     // thousandths of a millimetre
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // imageable area
};

// Printer data value as GetPrinterDataExW returns it.
struct PrinterDataValue {
  uint32_t type = 0;  // REG_SZ = 1, REG_DWORD = 4, REG_BINARY = 3
  std::vector<uint8_t> data;
};

// OpenPrinterW desired access values.
inline constexpr uint32_t kPrinterAllAccess = 0x000F000C;
inline constexpr uint32_t kPrinterAccessUse = 0x00000008;
inline constexpr uint32_t kServerAccessAdminister = 0x00000001;

// DeletePrinterDriverEx flags.
inline constexpr uint32_t kDpdDeleteUnusedFiles = 0x1;
inline constexpr uint32_t kDpdDeleteSpecificVersion = 0x2;
inline constexpr uint32_t kDpdDeleteAllFiles = 0x4;

// AddPrinterDriverEx flags.
inline constexpr uint32_t kApdCopyNewFiles = 0x00000008;

// An open printer, port or monitor handle (OpenPrinterW). ClosePrinter when the object goes away.
class IPrinterHandle {
 public:
  virtual ~IPrinterHandle() = default;
  virtual Result<PrinterInfo2> GetPrinter2() = 0;
  virtual Status SetPrinter2(const PrinterInfo2& info) = 0;
  // SetPrinterW level 7 (PRINTER_INFO_7W) with no object GUID and this action.
  virtual Status SetPrinter7(uint32_t action) = 0;
  virtual Status DeletePrinter() = 0;
  // GetPrinterDataExW. With bufferSize 0 it answers 234 and the needed size.
  virtual Result<PrinterDataValue> GetPrinterDataEx(const std::wstring& key, const std::wstring& value,
                                                    uint32_t bufferSize, uint32_t* needed) = 0;
  virtual Status SetPrinterDataEx(const std::wstring& key, const std::wstring& value, uint32_t type,
                                  const std::vector<uint8_t>& data) = 0;
  // DocumentPropertiesW without a window: mode 0 answers the size, DM_OUT_BUFFER (2) fills devMode.
  virtual Result<int32_t> DocumentProperties(const std::wstring& printerName, DevMode* out,
                                             const DevMode* in, uint32_t mode) = 0;
  // XcvDataW on a port-monitor handle: the status comes back in the result's value.
  virtual Result<uint32_t> XcvData(const std::wstring& command, const std::vector<uint8_t>& input,
                                   std::vector<uint8_t>* output, uint32_t outputSize) = 0;
};

class ISpooler {
 public:
  virtual ~ISpooler() = default;
  virtual Result<std::unique_ptr<IPrinterHandle>> OpenPrinter(const std::wstring& name, uint32_t access) = 0;

  virtual Result<std::vector<PrinterInfo2>> EnumPrinters2() = 0;
  virtual Result<std::vector<PortInfo2>> EnumPorts2() = 0;
  virtual Result<std::vector<MonitorInfo2>> EnumMonitors2() = 0;
  virtual Result<std::vector<FormInfo1>> EnumForms1(IPrinterHandle& printer) = 0;
  virtual Status DeleteForm(IPrinterHandle& printer, const std::wstring& name) = 0;

  virtual Result<std::vector<DriverInfo3>> EnumPrinterDrivers3(const std::wstring& environment) = 0;
  virtual Result<std::vector<DriverInfo8>> EnumPrinterDrivers8(const std::wstring& environment) = 0;
  virtual Status AddPrinterDriver3(const DriverInfo3& info) = 0;
  virtual Status AddPrinterDriverEx3(const DriverInfo3& info, uint32_t flags) = 0;
  virtual Status DeletePrinterDriverEx(const std::wstring& environment, const std::wstring& driverName,
                                       uint32_t deleteFlags, uint32_t versionFlag) = 0;
  virtual Result<std::wstring> GetPrinterDriverDirectory(const std::wstring& environment) = 0;

  // Driver store (Windows 8 and later); nullopt when winspool does not export the call.
  virtual std::optional<Result<std::wstring>> UploadPrinterDriverPackage(const std::wstring& infPath,
                                                                         const std::wstring& environment,
                                                                         uint32_t flags) = 0;
  virtual std::optional<uint32_t> InstallPrinterDriverFromPackage(const std::wstring& infPath,
                                                                   const std::wstring& driverName,
                                                                   const std::wstring& environment,
                                                                   uint32_t flags) = 0;
  virtual std::optional<uint32_t> DeletePrinterDriverPackage(const std::wstring& infPath,
                                                              const std::wstring& environment) = 0;

  virtual Result<std::unique_ptr<IPrinterHandle>> AddPrinter2(const PrinterInfo2& info) = 0;
  virtual Status SetDefaultPrinter(const std::wstring& name) = 0;
  virtual Result<std::wstring> GetDefaultPrinter() = 0;

  virtual Status AddMonitor2(const MonitorInfo2& info) = 0;
  virtual Status DeleteMonitor(const std::wstring& environment, const std::wstring& name) = 0;
  virtual Status DeletePort(const std::wstring& portName) = 0;
};

}  // namespace orvello::platform
