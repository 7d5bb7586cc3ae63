#pragma once
// Shared by the fake spooler's files: lookups in its state and the handle
// that OpenPrinter and AddPrinter hand out. Callers hold the state's lock.
#include <memory>
#include <string>

#include "platform/fake/fake_spooler.h"

namespace orvello::fake::spooler_detail {

struct Environment {
  const wchar_t* name;        // canonical spelling
  const wchar_t* folder;      // below the driver root
  const wchar_t* storeArch;   // in driver-store folder names
  const wchar_t* decoration;  // of INF models sections
};

inline constexpr wchar_t kDriverRoot[] = L"C:\\Windows\\system32\\spool\\drivers\\";
inline constexpr wchar_t kSystemFolder[] = L"C:\\Windows\\System32\\";
inline constexpr wchar_t kLocalMonitorName[] = L"Local Port";
inline constexpr wchar_t kTcpMonitorName[] = L"Standard TCP/IP Port";
inline constexpr wchar_t kTcpPortMonitor[] = L"TCPMON.DLL";  // PORT_INFO_2 pMonitorName of its ports
inline constexpr wchar_t kLocalPortMonitor[] = L"Local Monitor";

// nullptr for a name the spooler does not know; an empty name is the
// program's own environment.
const Environment* ResolveEnvironment(const FakeSpooler::State& s, const std::wstring& name);
std::wstring DriverDirectory(const Environment& env);

FakePrinter* PrinterById(FakeSpooler::State& s, uint64_t id);
FakePrinter* PrinterByName(FakeSpooler::State& s, const std::wstring& name);
FakeDriver* DriverByName(FakeSpooler::State& s, const std::wstring& environment, const std::wstring& name);
platform::PortInfo2* PortByName(FakeSpooler::State& s, const std::wstring& name);
FakeMonitor* MonitorByName(FakeSpooler::State& s, const std::wstring& name);
bool PortInUse(FakeSpooler::State& s, const std::wstring& portName);

template <class Container, class Element>
void EraseElement(Container& c, const Element* e) {
  for (auto it = c.begin(); it != c.end(); ++it) {
    if (&*it == e) {
      c.erase(it);
      return;
    }
  }
}

// The members a DRIVER_INFO level carries; false for a level that does not exist.
bool ProjectDriver(const platform::DriverInfo& full, uint32_t level, platform::DriverInfo* out);

// The printer's current DEVMODE: its own, else its driver's, else a plain one.
platform::DevMode CurrentDevMode(FakeSpooler::State& s, const FakePrinter& printer);

enum class HandleKind { Server, Printer, XcvMonitor, XcvPort };
std::unique_ptr<platform::IPrinterHandle> MakeHandle(std::shared_ptr<FakeSpooler::State> state, HandleKind kind,
                                                     uint64_t printerId, std::wstring target, uint32_t access);

// The XcvData commands of the two port monitors.
platform::Result<uint32_t> LocalMonitorXcv(FakeSpooler::State& s, const std::wstring& command,
                                           const std::vector<uint8_t>& input);
platform::Result<uint32_t> TcpMonitorXcv(FakeSpooler::State& s, const std::wstring& command,
                                         const std::vector<uint8_t>& input);

}  // namespace orvello::fake::spooler_detail
