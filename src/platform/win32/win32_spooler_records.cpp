#include "platform/win32/win32_spooler_records.h"

#include <cstring>

namespace orvello::win32::spool {

using platform::DevMode;
using platform::DriverInfo;
using platform::PrinterInfo;
using platform::PrinterInfo2;

std::wstring Text(const wchar_t* s) { return s ? std::wstring(s) : std::wstring(); }

LPWSTR OrNull(const std::wstring& s) { return s.empty() ? nullptr : const_cast<LPWSTR>(s.c_str()); }

std::vector<std::wstring> ReadMultiSz(const wchar_t* s) {
  std::vector<std::wstring> names;
  if (!s) return names;
  while (*s) {
    names.emplace_back(s);
    s += names.back().size() + 1;
  }
  return names;
}

std::vector<wchar_t> MakeMultiSz(const std::vector<std::wstring>& names) {
  std::vector<wchar_t> out;
  if (names.empty()) return out;
  for (const auto& n : names) {
    out.insert(out.end(), n.begin(), n.end());
    out.push_back(L'\0');
  }
  out.push_back(L'\0');
  return out;
}

uint64_t FileTimeValue(const FILETIME& ft) {
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

uint32_t FailureCode() {
  DWORD e = ::GetLastError();
  return e ? e : ERROR_INVALID_FUNCTION;
}

DevMode CopyDevMode(const DEVMODEW* dm) {
  DevMode out;
  if (!dm) return out;
  size_t size = static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(dm);
  out.bytes.assign(bytes, bytes + size);
  return out;
}

PrinterInfo2 FromPrinterInfo2(const PRINTER_INFO_2W& p) {
  PrinterInfo2 i;
  i.serverName = Text(p.pServerName);
  i.printerName = Text(p.pPrinterName);
  i.shareName = Text(p.pShareName);
  i.portName = Text(p.pPortName);
  i.driverName = Text(p.pDriverName);
  i.comment = Text(p.pComment);
  i.location = Text(p.pLocation);
  if (p.pDevMode) i.devMode = CopyDevMode(p.pDevMode);
  i.sepFile = Text(p.pSepFile);
  i.printProcessor = Text(p.pPrintProcessor);
  i.dataType = Text(p.pDatatype);
  i.parameters = Text(p.pParameters);
  i.attributes = p.Attributes;
  i.priority = p.Priority;
  i.defaultPriority = p.DefaultPriority;
  i.startTime = p.StartTime;
  i.untilTime = p.UntilTime;
  i.status = p.Status;
  i.jobs = p.cJobs;
  i.averagePpm = p.AveragePPM;
  return i;
}

PrinterInfo FromPrinterInfo(const BYTE* record, uint32_t level) {
  PrinterInfo out;
  out.level = level;
  auto address = [](const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); };
  switch (level) {
    case 1: {
      auto* p = reinterpret_cast<const PRINTER_INFO_1W*>(record);
      out.flags = p->Flags;
      out.description = Text(p->pDescription);
      out.name = Text(p->pName);
      out.comment = Text(p->pComment);
      break;
    }
    case 2: {
      auto* p = reinterpret_cast<const PRINTER_INFO_2W*>(record);
      PrinterInfo2 i = FromPrinterInfo2(*p);
      out.serverName = i.serverName;
      out.printerName = i.printerName;
      out.shareName = i.shareName;
      out.portName = i.portName;
      out.driverName = i.driverName;
      out.comment = i.comment;
      out.location = i.location;
      out.devMode = i.devMode;
      out.devModeAddress = address(p->pDevMode);
      out.sepFile = i.sepFile;
      out.printProcessor = i.printProcessor;
      out.dataType = i.dataType;
      out.parameters = i.parameters;
      out.securityDescriptorAddress = address(p->pSecurityDescriptor);
      out.attributes = i.attributes;
      out.priority = i.priority;
      out.defaultPriority = i.defaultPriority;
      out.startTime = i.startTime;
      out.untilTime = i.untilTime;
      out.status = i.status;
      out.jobs = i.jobs;
      out.averagePpm = i.averagePpm;
      break;
    }
    case 3: {
      auto* p = reinterpret_cast<const PRINTER_INFO_3*>(record);
      out.securityDescriptorAddress = address(p->pSecurityDescriptor);
      break;
    }
    case 4: {
      auto* p = reinterpret_cast<const PRINTER_INFO_4W*>(record);
      out.printerName = Text(p->pPrinterName);
      out.serverName = Text(p->pServerName);
      out.attributes = p->Attributes;
      break;
    }
    case 5: {
      auto* p = reinterpret_cast<const PRINTER_INFO_5W*>(record);
      out.printerName = Text(p->pPrinterName);
      out.portName = Text(p->pPortName);
      out.attributes = p->Attributes;
      out.deviceNotSelectedTimeout = p->DeviceNotSelectedTimeout;
      out.transmissionRetryTimeout = p->TransmissionRetryTimeout;
      break;
    }
    case 6: {
      auto* p = reinterpret_cast<const PRINTER_INFO_6*>(record);
      out.status = p->dwStatus;
      break;
    }
    case 7: {
      auto* p = reinterpret_cast<const PRINTER_INFO_7W*>(record);
      out.objectGuid = Text(p->pszObjectGUID);
      out.action = p->dwAction;
      break;
    }
    case 8:
    case 9: {
      // PRINTER_INFO_8W and PRINTER_INFO_9W have the same single member.
      auto* p = reinterpret_cast<const PRINTER_INFO_9W*>(record);
      if (p->pDevMode) out.devMode = CopyDevMode(p->pDevMode);
      out.devModeAddress = address(p->pDevMode);
      break;
    }
    default:
      break;
  }
  return out;
}

size_t DriverInfoSize(uint32_t level) {
  switch (level) {
    case 1: return sizeof(DRIVER_INFO_1W);
    case 2: return sizeof(DRIVER_INFO_2W);
    case 3: return sizeof(DRIVER_INFO_3W);
    case 4: return sizeof(DRIVER_INFO_4W);
    case 5: return sizeof(DRIVER_INFO_5W);
    case 6: return sizeof(DRIVER_INFO_6W);
    case 8: return sizeof(DRIVER_INFO_8W);
    default: return 0;
  }
}

namespace {

// The members levels 2 to 8 share at the start.
template <class T>
void ReadLevel2(const T* p, DriverInfo* d) {
  d->version = p->cVersion;
  d->environment = Text(p->pEnvironment);
  d->driverPath = Text(p->pDriverPath);
  d->dataFile = Text(p->pDataFile);
  d->configFile = Text(p->pConfigFile);
}

template <class T>
void ReadLevel3(const T* p, DriverInfo* d) {
  ReadLevel2(p, d);
  d->helpFile = Text(p->pHelpFile);
  d->dependentFiles = ReadMultiSz(p->pDependentFiles);
  d->monitorName = Text(p->pMonitorName);
  d->defaultDataType = Text(p->pDefaultDataType);
}

template <class T>
void ReadLevel6(const T* p, DriverInfo* d) {
  ReadLevel3(p, d);
  d->previousNames = ReadMultiSz(p->pszzPreviousNames);
  d->driverDate = FileTimeValue(p->ftDriverDate);
  d->driverVersion = p->dwlDriverVersion;
  d->mfgName = Text(p->pszMfgName);
  d->oemUrl = Text(p->pszOEMUrl);
  d->hardwareId = Text(p->pszHardwareID);
  d->provider = Text(p->pszProvider);
}

}  // namespace

DriverInfo FromDriverInfo(const BYTE* record, uint32_t level) {
  DriverInfo d;
  d.level = level;
  // pName is the first member of level 1 and the second of every other.
  switch (level) {
    case 1:
      d.name = Text(reinterpret_cast<const DRIVER_INFO_1W*>(record)->pName);
      break;
    case 2: {
      auto* p = reinterpret_cast<const DRIVER_INFO_2W*>(record);
      d.name = Text(p->pName);
      ReadLevel2(p, &d);
      break;
    }
    case 3: {
      auto* p = reinterpret_cast<const DRIVER_INFO_3W*>(record);
      d.name = Text(p->pName);
      ReadLevel3(p, &d);
      break;
    }
    case 4: {
      auto* p = reinterpret_cast<const DRIVER_INFO_4W*>(record);
      d.name = Text(p->pName);
      ReadLevel3(p, &d);
      d.previousNames = ReadMultiSz(p->pszzPreviousNames);
      break;
    }
    case 5: {
      auto* p = reinterpret_cast<const DRIVER_INFO_5W*>(record);
      d.name = Text(p->pName);
      ReadLevel2(p, &d);
      d.driverAttributes = p->dwDriverAttributes;
      d.configVersion = p->dwConfigVersion;
      d.fileDriverVersion = p->dwDriverVersion;
      break;
    }
    case 6: {
      auto* p = reinterpret_cast<const DRIVER_INFO_6W*>(record);
      d.name = Text(p->pName);
      ReadLevel6(p, &d);
      break;
    }
    case 8: {
      auto* p = reinterpret_cast<const DRIVER_INFO_8W*>(record);
      d.name = Text(p->pName);
      ReadLevel6(p, &d);
      d.printProcessor = Text(p->pszPrintProcessor);
      d.vendorSetup = Text(p->pszVendorSetup);
      d.colorProfiles = ReadMultiSz(p->pszzColorProfiles);
      d.infPath = Text(p->pszInfPath);
      d.printerDriverAttributes = p->dwPrinterDriverAttributes;
      d.coreDriverDependencies = ReadMultiSz(p->pszzCoreDriverDependencies);
      d.minInboxDriverVerDate = FileTimeValue(p->ftMinInboxDriverVerDate);
      d.minInboxDriverVerVersion = p->dwlMinInboxDriverVerVersion;
      break;
    }
    default:
      break;
  }
  return d;
}

void ToPrinterInfo2(const PrinterInfo2& info, PrinterInfo2Call* call) {
  PRINTER_INFO_2W& r = call->raw;
  r = PRINTER_INFO_2W{};
  r.pServerName = OrNull(info.serverName);
  r.pPrinterName = OrNull(info.printerName);
  r.pShareName = OrNull(info.shareName);
  r.pPortName = OrNull(info.portName);
  r.pDriverName = OrNull(info.driverName);
  r.pComment = OrNull(info.comment);
  r.pLocation = OrNull(info.location);
  if (info.devMode && !info.devMode->bytes.empty()) {
    call->devMode = info.devMode->bytes;
    r.pDevMode = reinterpret_cast<DEVMODEW*>(call->devMode.data());
  }
  r.pSepFile = OrNull(info.sepFile);
  r.pPrintProcessor = OrNull(info.printProcessor);
  r.pDatatype = OrNull(info.dataType);
  r.pParameters = OrNull(info.parameters);
  r.pSecurityDescriptor = nullptr;
  r.Attributes = info.attributes;
  r.Priority = info.priority;
  r.DefaultPriority = info.defaultPriority;
  r.StartTime = info.startTime;
  r.UntilTime = info.untilTime;
  r.Status = info.status;
  r.cJobs = info.jobs;
  r.AveragePPM = info.averagePpm;
}

}  // namespace orvello::win32::spool
