#pragma once
// The print spooler (winspool.drv), in the shape of its records and calls.
// Records carry the members of the Win32 structures; strings that Win32
// leaves null are empty here, and an empty string argument is passed to the
// spooler as null (for an environment: the calling process's own one).
// Every Get/Enum call makes the size query and the data call itself.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace orvello::platform {

// HRESULTs of the driver-store calls.
namespace hr {
inline constexpr uint32_t kOk = 0;
inline constexpr uint32_t kFail = 0x80004005;
inline constexpr uint32_t kInvalidArg = 0x80070057;
inline constexpr uint32_t kFileNotFound = 0x80070002;           // HRESULT_FROM_WIN32(2)
inline constexpr uint32_t kUnknownPrinterDriver = 0x80070705;   // HRESULT_FROM_WIN32(1797)
inline constexpr uint32_t kDriverPackageInUse = 0x80070BC7;     // HRESULT_FROM_WIN32(3015)
}  // namespace hr

// Spooler environments.
inline constexpr wchar_t kEnvironmentX86[] = L"Windows NT x86";
inline constexpr wchar_t kEnvironmentX64[] = L"Windows x64";
inline constexpr wchar_t kEnvironmentArm64[] = L"Windows ARM64";

// PORT_INFO_2W
struct PortInfo2 {
  std::wstring portName;
  std::wstring monitorName;
  std::wstring description;
  uint32_t portType = 0;
};

// PORT_INFO_2W fPortType bits.
inline constexpr uint32_t kPortTypeWrite = 0x1;
inline constexpr uint32_t kPortTypeRead = 0x2;
inline constexpr uint32_t kPortTypeRedirected = 0x4;
inline constexpr uint32_t kPortTypeNetAttached = 0x8;

// MONITOR_INFO_2W
struct MonitorInfo2 {
  std::wstring name;
  std::wstring environment;
  std::wstring dllName;
};

// DRIVER_INFO_3W, as AddPrinterDriver takes it. The file members hold bare
// file names, which the spooler looks up in the driver directory of the
// environment, or full paths.
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

// One record of EnumPrinterDriversW or GetPrinterDriverW at `level` (1 to 6
// or 8): every member of DRIVER_INFO_1W to DRIVER_INFO_8W. Members that the
// level does not carry stay empty or zero. File members are full paths.
// FILETIME members are 100-nanosecond intervals since 1601 (UTC).
struct DriverInfo {
  uint32_t level = 0;
  uint32_t version = 0;                               // cVersion, level 2 and up
  std::wstring name;                                  // pName, every level
  std::wstring environment;                           // level 2 and up
  std::wstring driverPath;                            // level 2 and up
  std::wstring dataFile;                              // level 2 and up
  std::wstring configFile;                            // level 2 and up
  std::wstring helpFile;                              // level 3 and up
  std::vector<std::wstring> dependentFiles;           // level 3 and up
  std::wstring monitorName;                           // level 3 and up
  std::wstring defaultDataType;                       // level 3 and up
  std::vector<std::wstring> previousNames;            // levels 4, 6, 8
  uint32_t driverAttributes = 0;                      // level 5 dwDriverAttributes
  uint32_t configVersion = 0;                         // level 5 dwConfigVersion
  uint32_t fileDriverVersion = 0;                     // level 5 dwDriverVersion
  uint64_t driverDate = 0;                            // levels 6, 8 ftDriverDate
  uint64_t driverVersion = 0;                         // levels 6, 8 dwlDriverVersion
  std::wstring mfgName;                               // levels 6, 8
  std::wstring oemUrl;                                // levels 6, 8
  std::wstring hardwareId;                            // levels 6, 8
  std::wstring provider;                              // levels 6, 8
  std::wstring printProcessor;                        // level 8
  std::wstring vendorSetup;                           // level 8
  std::vector<std::wstring> colorProfiles;            // level 8
  std::wstring infPath;                               // level 8 pszInfPath (driver store)
  uint32_t printerDriverAttributes = 0;               // level 8
  std::vector<std::wstring> coreDriverDependencies;   // level 8
  uint64_t minInboxDriverVerDate = 0;                 // level 8
  uint64_t minInboxDriverVerVersion = 0;              // level 8
};

// DEVMODEW as bytes (dmSize + dmDriverExtra of them); the core reads the
// public members at their documented offsets.
struct DevMode {
  std::vector<uint8_t> bytes;
};

// PRINTER_INFO_2W, as AddPrinter and SetPrinter take it and EnumPrinters
// answers it. pSecurityDescriptor is always null (unchanged).
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

// One record of GetPrinterW at `level` (1 to 9): every member of
// PRINTER_INFO_1W to PRINTER_INFO_9W. Members the level does not carry stay
// empty or zero. The two pointer members are kept as the addresses the call
// returned (0 for null), because only their values are ever shown.
struct PrinterInfo {
  uint32_t level = 0;
  uint32_t flags = 0;                  // 1
  std::wstring description;            // 1
  std::wstring name;                   // 1 pName
  std::wstring comment;                // 1, 2
  std::wstring serverName;             // 2, 4
  std::wstring printerName;            // 2, 4, 5
  std::wstring shareName;              // 2
  std::wstring portName;               // 2, 5
  std::wstring driverName;             // 2
  std::wstring location;               // 2
  std::optional<DevMode> devMode;      // 2, 8, 9
  uint64_t devModeAddress = 0;         // 2, 8, 9
  std::wstring sepFile;                // 2
  std::wstring printProcessor;         // 2
  std::wstring dataType;               // 2
  std::wstring parameters;             // 2
  uint64_t securityDescriptorAddress = 0;  // 2, 3
  uint32_t attributes = 0;             // 2, 4, 5
  uint32_t priority = 0;               // 2
  uint32_t defaultPriority = 0;        // 2
  uint32_t startTime = 0;              // 2
  uint32_t untilTime = 0;              // 2
  uint32_t status = 0;                 // 2; 6 dwStatus
  uint32_t jobs = 0;                   // 2
  uint32_t averagePpm = 0;             // 2
  uint32_t deviceNotSelectedTimeout = 0;  // 5
  uint32_t transmissionRetryTimeout = 0;  // 5
  std::wstring objectGuid;             // 7 pszObjectGUID
  uint32_t action = 0;                 // 7 dwAction
};

// PRINTER_INFO_2W Attributes bits the program sets or tests.
inline constexpr uint32_t kPrinterAttributeDefault = 0x4;
inline constexpr uint32_t kPrinterAttributeLocal = 0x40;

// EnumPrinters flags.
inline constexpr uint32_t kPrinterEnumLocal = 0x2;
inline constexpr uint32_t kPrinterEnumConnections = 0x4;

// SetPrinter level 0 commands and PRINTER_INFO_7W actions.
inline constexpr uint32_t kPrinterControlPause = 1;
inline constexpr uint32_t kPrinterControlResume = 2;
inline constexpr uint32_t kPrinterControlPurge = 3;
inline constexpr uint32_t kDsPrintPublish = 1;
inline constexpr uint32_t kDsPrintUpdate = 2;
inline constexpr uint32_t kDsPrintUnpublish = 4;
inline constexpr uint32_t kDsPrintRepublish = 8;

// FORM_INFO_1W
struct FormInfo1 {
  uint32_t flags = 0;
  std::wstring name;
  int32_t width = 0, height = 0;                     // thousandths of a millimetre
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // imageable area
};

inline constexpr uint32_t kFormUser = 0;
inline constexpr uint32_t kFormBuiltin = 1;
inline constexpr uint32_t kFormPrinter = 2;

// Printer data value as GetPrinterDataExW returns it.
struct PrinterDataValue {
  uint32_t type = 0;  // REG_SZ = 1, REG_DWORD = 4, REG_BINARY = 3
  std::vector<uint8_t> data;
};

// DC_PAPERSIZE: one paper's size in tenths of a millimetre.
struct PaperSize {
  int32_t width = 0;
  int32_t length = 0;
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
inline constexpr uint32_t kApdStrictUpgrade = 0x00000001;
inline constexpr uint32_t kApdStrictDowngrade = 0x00000002;
inline constexpr uint32_t kApdCopyAllFiles = 0x00000004;
inline constexpr uint32_t kApdCopyNewFiles = 0x00000008;

// UploadPrinterDriverPackage and InstallPrinterDriverFromPackage flags.
inline constexpr uint32_t kUpdpSilentUpload = 0x1;
inline constexpr uint32_t kUpdpUploadAlways = 0x2;
inline constexpr uint32_t kIpdfpCopyAllFiles = 0x1;

// DocumentPropertiesW modes and answers.
inline constexpr uint32_t kDmOutBuffer = 0x2;
inline constexpr uint32_t kDmInPrompt = 0x4;
inline constexpr uint32_t kDmInBuffer = 0x8;
inline constexpr int32_t kIdOk = 1;
inline constexpr int32_t kIdCancel = 2;

// The configuration commands of the port monitors (XcvDataW).
inline constexpr wchar_t kXcvAddPort[] = L"AddPort";
inline constexpr wchar_t kXcvDeletePort[] = L"DeletePort";
// OpenPrinterW names of the two monitors' configuration objects.
inline constexpr wchar_t kXcvStandardTcpIpMonitor[] = L",XcvMonitor Standard TCP/IP Port";
inline constexpr wchar_t kXcvLocalPortMonitor[] = L",XcvMonitor Local Port";

// An open printer, print server (empty name), port or monitor handle
// (OpenPrinterW). ClosePrinter when the object goes away.
class IPrinterHandle {
 public:
  virtual ~IPrinterHandle() = default;
  // GetPrinterW at level 1 to 9.
  virtual Result<PrinterInfo> GetPrinter(uint32_t level) = 0;
  virtual Result<PrinterInfo2> GetPrinter2() = 0;
  // SetPrinterW level 2 with command 0; renames when printerName differs.
  virtual Status SetPrinter2(const PrinterInfo2& info) = 0;
  // SetPrinterW level 7 (PRINTER_INFO_7W) with no object GUID and this action.
  virtual Status SetPrinter7(uint32_t action) = 0;
  // SetPrinterW level 0 with a PRINTER_CONTROL_ command (purge, pause, resume).
  virtual Status ControlPrinter(uint32_t command) = 0;
  virtual Status DeletePrinter() = 0;
  // GetPrinterDriverW for the printer's driver.
  virtual Result<DriverInfo> GetPrinterDriver(const std::wstring& environment, uint32_t level) = 0;
  // GetPrinterDataExW with a buffer of bufferSize bytes. A value larger than
  // the buffer fails with 234 (ERROR_MORE_DATA); *needed gets the size.
  virtual Result<PrinterDataValue> GetPrinterDataEx(const std::wstring& key, const std::wstring& value,
                                                    uint32_t bufferSize, uint32_t* needed) = 0;
  // SetPrinterDataExW with exactly these bytes.
  virtual Status SetPrinterDataEx(const std::wstring& key, const std::wstring& value, uint32_t type,
                                  const std::vector<uint8_t>& data) = 0;
  // DocumentPropertiesW; ownerWindow is the HWND value (0 for none). Mode 0
  // answers the size of the printer's DEVMODE; with DM_OUT_BUFFER `out` is
  // filled (an empty `out` is sized first). The value is the call's return
  // value; a negative one comes with the error code.
  virtual Result<int32_t> DocumentProperties(uintptr_t ownerWindow, const std::wstring& printerName,
                                             DevMode* out, const DevMode* in, uint32_t mode) = 0;
  // XcvDataW on a port-monitor handle. The call's own failure is the error;
  // the monitor's status word comes back as the value. `output` (when not
  // null) gets the bytes the monitor wrote into a buffer of outputSize.
  virtual Result<uint32_t> XcvData(const std::wstring& command, const std::vector<uint8_t>& input,
                                   std::vector<uint8_t>* output, uint32_t outputSize) = 0;
  // EnumFormsW / GetFormW level 1 and DeleteFormW: the print server's forms
  // as seen through this handle (a printer or the server itself).
  virtual Result<std::vector<FormInfo1>> EnumForms1() = 0;
  virtual Result<FormInfo1> GetForm1(const std::wstring& name) = 0;
  virtual Status DeleteForm(const std::wstring& name) = 0;
};

// UploadPrinterDriverPackageW's outcome: the HRESULT and, on success, the
// INF path inside the driver store.
struct DriverPackageUpload {
  uint32_t hresult = hr::kOk;
  std::wstring driverStoreInfPath;
};

// Which driver-store calls winspool exports (looked up at run time).
struct DriverStoreExports {
  bool upload = false;
  bool install = false;
  bool deletePackage = false;
};

class ISpooler {
 public:
  virtual ~ISpooler() = default;
  // OpenPrinterW with PRINTER_DEFAULTSW {null, null, access}. An empty name
  // opens the local print server; ",XcvMonitor <name>" a port monitor's
  // configuration object.
  virtual Result<std::unique_ptr<IPrinterHandle>> OpenPrinter(const std::wstring& name, uint32_t access) = 0;

  // EnumPrintersW level 2 on the local machine with PRINTER_ENUM_ flags.
  virtual Result<std::vector<PrinterInfo2>> EnumPrinters2(uint32_t flags) = 0;
  virtual Result<std::vector<PortInfo2>> EnumPorts2() = 0;
  virtual Result<std::vector<MonitorInfo2>> EnumMonitors2() = 0;

  // EnumPrinterDriversW at level 1 to 6 or 8.
  virtual Result<std::vector<DriverInfo>> EnumPrinterDrivers(const std::wstring& environment, uint32_t level) = 0;
  virtual Status AddPrinterDriver3(const DriverInfo3& info) = 0;
  virtual Status AddPrinterDriverEx3(const DriverInfo3& info, uint32_t flags) = 0;
  virtual Status DeletePrinterDriverEx(const std::wstring& environment, const std::wstring& driverName,
                                       uint32_t deleteFlags, uint32_t versionFlag) = 0;
  // GetPrinterDriverDirectoryW level 1 (no trailing backslash).
  virtual Result<std::wstring> GetPrinterDriverDirectory(const std::wstring& environment) = 0;

  // Driver store (Windows 8 and later), looked up in winspool at run time;
  // each call answers nullopt when winspool does not export it.
  virtual DriverStoreExports DriverStore() = 0;
  virtual std::optional<DriverPackageUpload> UploadPrinterDriverPackage(const std::wstring& infPath,
                                                                        const std::wstring& environment,
                                                                        uint32_t flags) = 0;
  virtual std::optional<uint32_t> InstallPrinterDriverFromPackage(const std::wstring& driverStoreInfPath,
                                                                   const std::wstring& driverName,
                                                                   const std::wstring& environment,
                                                                   uint32_t flags) = 0;
  virtual std::optional<uint32_t> DeletePrinterDriverPackage(const std::wstring& driverStoreInfPath,
                                                              const std::wstring& environment) = 0;

  // AddPrinterW level 2 on the local machine; the new printer comes open.
  virtual Result<std::unique_ptr<IPrinterHandle>> AddPrinter2(const PrinterInfo2& info) = 0;
  virtual Status SetDefaultPrinter(const std::wstring& name) = 0;
  virtual Result<std::wstring> GetDefaultPrinter() = 0;

  virtual Status AddMonitor2(const MonitorInfo2& info) = 0;
  virtual Status DeleteMonitor(const std::wstring& environment, const std::wstring& name) = 0;
  // AddPortW, ConfigurePortW and DeletePortW on the local machine; the
  // monitor shows its own dialogs owned by ownerWindow (an HWND value).
  virtual Status AddPort(uintptr_t ownerWindow, const std::wstring& monitorName) = 0;
  virtual Status ConfigurePort(uintptr_t ownerWindow, const std::wstring& portName) = 0;
  virtual Status DeletePort(uintptr_t ownerWindow, const std::wstring& portName) = 0;

  // DeviceCapabilitiesW for DC_PAPERNAMES, DC_PAPERS and DC_PAPERSIZE.
  virtual Result<std::vector<std::wstring>> DevicePaperNames(const std::wstring& printerName,
                                                             const std::wstring& portName) = 0;
  virtual Result<std::vector<uint16_t>> DevicePapers(const std::wstring& printerName,
                                                     const std::wstring& portName) = 0;
  virtual Result<std::vector<PaperSize>> DevicePaperSizes(const std::wstring& printerName,
                                                          const std::wstring& portName) = 0;
};

// PORT_DATA_1 of the standard TCP/IP port monitor ("AddPort"), and
// DELETE_PORT_DATA_1 ("DeletePort"), as the bytes XcvData carries.
struct TcpPortData1 {
  std::wstring portName;       // at most 63 characters
  uint32_t version = 1;
  uint32_t protocol = 1;       // 1 raw, 2 LPR
  std::wstring hostAddress;    // at most 48 characters
  std::wstring snmpCommunity;  // at most 32
  uint32_t doubleSpool = 0;
  std::wstring queue;          // at most 32
  std::wstring ipAddress;      // at most 15
  uint32_t portNumber = 9100;
  uint32_t snmpEnabled = 0;
  uint32_t snmpDevIndex = 0;
};

inline constexpr size_t kPortData1Size = 964;
inline constexpr size_t kDeletePortData1Size = 236;

std::vector<uint8_t> EncodePortData1(const TcpPortData1& data);
// Empty port name when the bytes are too short for the structure.
TcpPortData1 DecodePortData1(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> EncodeDeletePortData1(const std::wstring& portName);
std::wstring DecodeDeletePortData1(const std::vector<uint8_t>& bytes);

}  // namespace orvello::platform
