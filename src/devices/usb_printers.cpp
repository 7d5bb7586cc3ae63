#include "devices/usb_printers.h"

#include <algorithm>
#include <cstring>

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "devices/lumatrix.h"
#include "log/my_log.h"
#include "system/error_text.h"
#include "system/text.h"

namespace orvello {

namespace {

constexpr uint32_t kCmDrpHardwareId = 0x02;
// CR_NO_SUCH_DEVNODE: what CM_Get_Child answers for a node without children.
constexpr int kCrNoSuchDevNode = 0x0D;
constexpr uint32_t kRegSz = 1;

std::wstring FourAfter(const std::wstring& text, std::wstring_view marker) {
  size_t at = text.find(marker);
  if (at == std::wstring::npos) return {};
  return text.substr(at + marker.size(), 4);
}

std::wstring AfterLastAmpersand(const std::wstring& id) {
  size_t at = id.rfind(L'&');
  return at == std::wstring::npos ? id : id.substr(at + 1);
}

bool SameDevice(const PrinterDevice& a, const PrinterDevice& b) {
  return a.childDeviceId == b.childDeviceId && a.model == b.model;
}

// Drivers meant for a Bluetooth adapter are offered only for that port
// type, and never for a plain USB connection.
bool PortTypeAccepts(int32_t portType, const DriverRef& driver) {
  bool adapter = DriverBtAdapter(driver);
  if (portType == kPortUsb) return !adapter;
  if (portType == kPortBluetoothAdapter) return adapter;
  return true;
}

// A string value of printer data; "" when missing or not readable.
std::wstring DataString(platform::IPrinterHandle& printer, const wchar_t* key, const wchar_t* value) {
  uint32_t needed = 0;
  uint32_t size = 512;
  auto got = printer.GetPrinterDataEx(key, value, size, &needed);
  if (!got.ok() && got.error == platform::err::kMoreData && needed > size) {
    got = printer.GetPrinterDataEx(key, value, needed, &needed);
  }
  if (!got.ok()) return {};
  const auto& bytes = got.value.data;
  std::wstring text(bytes.size() / 2, L'\0');  // UTF-16LE, whatever wchar_t is here
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to) {
  for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Reads the interfaces present now into records of catalogue printers.
std::vector<PrinterDevice> FindPresentPrinters(const DeviceScan& scan) {
  std::vector<PrinterDevice> found;
  CMyLog& log = ScanLog(scan);
  auto& devices = scan.platform.devices;
  auto interfaces = devices.PresentInterfaces(kUsbPrintInterfaceGuid);
  if (!interfaces.ok()) {
    log.WriteFormat(L"SetupDiGetClassDevs, err=%d, %s", static_cast<int>(interfaces.error),
                    SystemErrorText(scan.platform.system, interfaces.error).c_str());
    return found;
  }
  bool failed = false;
  for (const auto& item : interfaces.value) {
    auto children = devices.Children(item.instanceId);
    if (!children.ok() || children.value.empty()) {
      log.WriteFormat(L"CM_Get_Child, err=%d", kCrNoSuchDevNode);
      failed = true;
      break;
    }
    PrinterDevice record;
    record.devicePath = item.devicePath;
    record.deviceId = item.instanceId;
    record.childDeviceId = children.value.front();
    auto ids = devices.RegistryProperty(record.childDeviceId, kCmDrpHardwareId);
    if (ids.ok() && !ids.value.empty()) record.hardwareId = ids.value.front();
    record.portName = AfterLastAmpersand(record.childDeviceId);
    log.WriteFormat(L"Find printer, HardWareID=%s, sPortName=%s", record.hardwareId.c_str(), record.portName.c_str());
    record.vid = FourAfter(record.deviceId, L"VID_");
    record.pid = FourAfter(record.deviceId, L"PID_");

    if (IsLumatrixHardwareId(record.hardwareId)) {
      if (scan.portType == kPortCustom) {
        MapLumatrixModel(scan, QueryLumatrixBluetoothName(scan, record.devicePath), found, record);
      }
      continue;
    }
    if (record.hardwareId.empty()) continue;
    DriverRef driver = FindDriverByUsbName(scan.manufacturer, record.hardwareId, scan.catalogue);
    if (!driver || !PortTypeAccepts(scan.portType, driver)) continue;
    record.driver = driver;
    record.model = DriverName(driver);
    found.push_back(std::move(record));
  }
  if (!failed) {
    log.WriteFormat(L"SetupDiEnumDeviceInterfaces, err=%d, %s", static_cast<int>(platform::err::kNoMoreItems),
                    SystemErrorText(scan.platform.system, platform::err::kNoMoreItems).c_str());
  }
  return found;
}

}  // namespace

void RefreshUsbPrinters(const DeviceScan& scan, CPrinterDevices& list) {
  std::vector<PrinterDevice> found = FindPresentPrinters(scan);
  for (auto& record : found) {
    auto listed = std::find_if(list.devices.begin(), list.devices.end(),
                               [&](const PrinterDevice& d) { return SameDevice(d, record); });
    if (listed != list.devices.end()) {
      IsDeviceInstalled(scan.platform, *listed);
    } else {
      IsDeviceInstalled(scan.platform, record);
      list.devices.push_back(record);
      list.changed = 1;
    }
  }
  auto gone = std::remove_if(list.devices.begin(), list.devices.end(), [&](const PrinterDevice& d) {
    return std::none_of(found.begin(), found.end(), [&](const PrinterDevice& f) { return SameDevice(d, f); });
  });
  if (gone != list.devices.end()) {
    list.devices.erase(gone, list.devices.end());
    list.changed = 1;
  }
}

int32_t IsDeviceInstalled(platform::Platform& platform, PrinterDevice& device) {
  device.installed = 0;
  auto printers = platform.spooler.EnumPrinters2(platform::kPrinterEnumLocal);
  if (!printers.ok()) return 0;
  std::wstring enumeratedId = ReplaceAll(device.hardwareId, L"USBPRINT\\", L"PRINTENUM\\");
  for (const auto& info : printers.value) {
    auto opened = platform.spooler.OpenPrinter(info.printerName, platform::kPrinterAllAccess);
    if (!opened.ok()) opened = platform.spooler.OpenPrinter(info.printerName, platform::kPrinterAccessUse);
    if (!opened.ok()) {
      platform.debug.Write(FormatText(L"OpenPrinter(%s) error = %d, %s", info.printerName.c_str(),
                                      static_cast<int>(opened.error),
                                      SystemErrorText(platform.system, opened.error).c_str()));
      continue;
    }
    auto& printer = *opened.value;
    bool installed = DataString(printer, L"PnPData", L"DeviceInstanceId") == device.childDeviceId;
    if (!installed && !DataString(printer, L"DsSpooler", L"driverName").empty() &&
        DataString(printer, L"DsSpooler", L"portName") == device.portName) {
      installed = DataString(printer, L"PnPData", L"HardWareID") == enumeratedId;
    }
    if (installed) {
      device.installed = 1;
      return 1;
    }
  }
  return 0;
}

}  // namespace orvello
