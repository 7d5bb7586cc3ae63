#pragma once
// What a device search needs to know besides the devices: the machine, the
// catalogue and the wizard's manufacturer and port type.
#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "platform/platform.h"

namespace orvello {

class CMyLog;

struct DeviceScan {
  platform::Platform& platform;
  const pugi::xml_document& catalogue;
  std::wstring manufacturer;  // the profile's name; "QovaPrt" searches every manufacturer
  int32_t portType = 0;
  CMyLog* log = nullptr;  // the program's log when null
};

CMyLog& ScanLog(const DeviceScan& scan);

}  // namespace orvello
