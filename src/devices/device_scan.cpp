#include "devices/device_scan.h"

#include "log/my_log.h"

namespace orvello {

CMyLog& ScanLog(const DeviceScan& scan) { return scan.log ? *scan.log : CMyLog::Instance(); }

}  // namespace orvello
