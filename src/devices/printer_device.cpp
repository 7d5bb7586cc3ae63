#include "devices/printer_device.h"

namespace orvello {

void PrinterDevice::ResetDevice() {
  printerName.clear();
  deviceId.clear();
  childDeviceId.clear();
  vid.clear();
  pid.clear();
  hardwareId.clear();
  portName.clear();
  installed = 0;
  pin = kFirstDefaultPin;
  ipAddress = kDefaultIpAddress;
}

CPrinterDevices::~CPrinterDevices() = default;

const PrinterDevice* FindDeviceByModel(const std::vector<PrinterDevice>& devices, std::wstring_view model) {
  for (const auto& d : devices) {
    if (d.model == model) return &d;
  }
  return nullptr;
}

}  // namespace orvello
