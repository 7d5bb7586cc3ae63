#include "devices/lumatrix.h"

#include <array>
#include <cstdint>

#include "catalogue/catalogue.h"
#include "log/my_log.h"

namespace orvello {

namespace {

constexpr std::array<std::wstring_view, 3> kLumatrixHardwareIds = {
    L"USBPRINT\\Lumatrix_A6B36A", L"USBPRINT\\Lumatrix_A877EB", L"USBPRINT\\Lumatrix_A773AB"};

// The printer's "tell me your Bluetooth name" command.
constexpr std::array<uint8_t, 4> kNameRequest = {0x10, 0xFF, 0x30, 0x11};
constexpr uint32_t kWaitMs = 1000;
constexpr uint32_t kPauseMs = 100;
constexpr uint32_t kMaxReply = 255;

enum class Match { Exact, Contains };

struct Rule {
  Match match;
  std::wstring_view pattern;
  std::wstring_view model;
};

// First match wins, so a name that a later, wider rule would also take must
// come earlier; the last rule catches every name of the brand.
constexpr std::array<Rule, 26> kRules = {{
    {Match::Exact, L"Lumatrix_A1", L"Lumatrix A1"},
    {Match::Exact, L"Lumatrix_A1S", L"Lumatrix A1S"},
    {Match::Exact, L"Lumatrix_A2", L"Lumatrix A2"},
    {Match::Exact, L"Lumatrix_A2S", L"Lumatrix A2S"},
    {Match::Contains, L"Lumatrix_P1", L"Lumatrix P1"},
    {Match::Contains, L"Lumatrix_P2", L"Lumatrix P2"},
    {Match::Contains, L"Lumatrix_P3", L"Lumatrix P3"},
    {Match::Contains, L"Lumatrix_P4", L"Lumatrix P4"},
    {Match::Exact, L"Lumatrix_M1", L"Lumatrix M1"},
    {Match::Contains, L"Lumatrix_M2", L"Lumatrix M2"},
    {Match::Contains, L"Lumatrix_M3", L"Lumatrix M3"},
    {Match::Contains, L"Lumatrix_M4", L"Lumatrix M4"},
    {Match::Contains, L"Lumatrix_M5", L"Lumatrix M5"},
    {Match::Exact, L"Lumatrix_T10", L"Lumatrix T10"},
    {Match::Exact, L"Lumatrix_T11", L"Lumatrix T11"},
    {Match::Exact, L"Lumatrix_T12", L"Lumatrix T12"},
    {Match::Exact, L"Lumatrix_T13", L"Lumatrix T13"},
    {Match::Exact, L"Lumatrix_T14", L"Lumatrix T14"},
    {Match::Exact, L"Lumatrix_T15", L"Lumatrix T15"},
    {Match::Exact, L"Lumatrix_T16", L"Lumatrix T16"},
    {Match::Exact, L"Lumatrix_T17", L"Lumatrix T17"},
    {Match::Exact, L"Lumatrix_T18", L"Lumatrix T18"},
    {Match::Exact, L"Lumatrix_T19", L"Lumatrix T19"},
    {Match::Exact, L"Lumatrix_T20", L"Lumatrix T20"},
    {Match::Exact, L"Lumatrix_T21", L"Lumatrix T21"},
    {Match::Contains, L"Lumatrix", L"Lumatrix"},
}};

}  // namespace

bool IsLumatrixHardwareId(std::wstring_view hardwareId) {
  for (auto id : kLumatrixHardwareIds) {
    if (id == hardwareId) return true;
  }
  return false;
}

std::wstring QueryLumatrixBluetoothName(const DeviceScan& scan, const std::wstring& devicePath) {
  auto reply = scan.platform.devices.UsbRequest(devicePath, kNameRequest, kWaitMs, kPauseMs, kMaxReply);
  if (!reply.ok()) return {};
  std::string narrow;
  for (uint8_t b : reply.value) {
    if (b == 0) break;
    narrow.push_back(static_cast<char>(b));
  }
  std::wstring name;
  if (!narrow.empty()) name = scan.platform.codePages.MultiByteToWide(platform::kCodePageAnsi, narrow);
  ScanLog(scan).WriteFormat(L"GetBluetoothName: %s", name.c_str());
  return name;
}

std::wstring LumatrixModelFor(std::wstring_view bluetoothName) {
  for (const Rule& rule : kRules) {
    bool hit = rule.match == Match::Exact ? bluetoothName == rule.pattern
                                          : bluetoothName.find(rule.pattern) != std::wstring_view::npos;
    if (hit) return std::wstring(rule.model);
  }
  return {};
}

void MapLumatrixModel(const DeviceScan& scan, std::wstring_view bluetoothName, std::vector<PrinterDevice>& found,
                      const PrinterDevice& record) {
  std::wstring model = LumatrixModelFor(bluetoothName);
  if (!model.empty()) AddDevicesForModel(scan, found, record, model);
}

void AddDevicesForModel(const DeviceScan& scan, std::vector<PrinterDevice>& found, const PrinterDevice& record,
                        std::wstring_view model) {
  DriverRef driver = FirstDriver(scan.manufacturer, scan.catalogue);
  while (driver) {
    if (DriverName(driver) == model) {
      PrinterDevice copy = record;
      copy.driver = driver;
      copy.model = std::wstring(model);
      found.push_back(std::move(copy));
    }
    if (!NextDriver(scan.manufacturer, driver, scan.catalogue)) break;
  }
}

}  // namespace orvello
