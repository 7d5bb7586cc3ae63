#include "platform/fake/fake_spooler.h"

#include <algorithm>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_spooler_internal.h"
#include "system/text.h"

namespace orvello::fake {

using platform::DevMode;
using platform::FormInfo1;
using platform::MonitorInfo2;
using platform::PortInfo2;
using platform::PrinterInfo2;
using platform::Result;
using platform::Status;
namespace err = platform::err;
using namespace spooler_detail;

bool NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const {
  return ToUpper(a) < ToUpper(b);
}

namespace {

using Lock = std::lock_guard<std::mutex>;

constexpr Environment kEnvironments[] = {
    {platform::kEnvironmentX86, L"w32x86", L"x86", L"NTx86"},
    {platform::kEnvironmentX64, L"x64", L"amd64", L"NTamd64"},
    {platform::kEnvironmentArm64, L"arm64", L"arm64", L"NTarm64"},
    {L"Windows IA64", L"ia64", L"ia64", L"NTia64"},
    {L"Windows 4.0", L"win40", L"x86", L"NTx86"},
};

// The server's built-in forms (FORM_BUILTIN), first ones of the list in
// DMPAPER order, sizes in thousandths of a millimetre.
struct BuiltinForm {
  const wchar_t* name;
  int32_t width, height;
};
constexpr BuiltinForm kBuiltinForms[] = {
    {L"Letter", 215900, 279400},       {L"Letter Small", 215900, 279400}, {L"Tabloid", 279400, 431800},
    {L"Ledger", 431800, 279400},       {L"Legal", 215900, 355600},        {L"Statement", 139700, 215900},
    {L"Executive", 184150, 266700},    {L"A3", 297000, 420000},           {L"A4", 210000, 297000},
    {L"A4 Small", 210000, 297000},     {L"A5", 148000, 210000},           {L"B4 (JIS)", 257000, 364000},
    {L"B5 (JIS)", 182000, 257000},     {L"Folio", 215900, 330200},        {L"Quarto", 215000, 275000},
    {L"10x14", 254000, 355600},        {L"11x17", 279400, 431800},        {L"Note", 215900, 279400},
    {L"Envelope #9", 98425, 225425},   {L"Envelope #10", 104775, 241300}, {L"Envelope DL", 110000, 220000},
    {L"Envelope C5", 162000, 229000},  {L"Envelope C4", 229000, 324000},  {L"Envelope C6", 114000, 162000},
    {L"Envelope Monarch", 98425, 190500}, {L"A6", 105000, 148000},        {L"A2", 420000, 594000},
};

const wchar_t* const kLocalPorts[] = {L"COM1:", L"COM2:", L"COM3:", L"COM4:", L"FILE:", L"LPT1:", L"LPT2:", L"LPT3:"};

bool ValidPrinterName(const std::wstring& name) {
  return !name.empty() && name.find_first_of(L",\\!") == std::wstring::npos && name.size() < 221;
}

bool KnownDataType(const std::wstring& type) {
  static const wchar_t* const kTypes[] = {L"RAW",          L"RAW [FF appended]", L"RAW [FF auto]", L"NT EMF 1.003",
                                          L"NT EMF 1.006", L"NT EMF 1.007",      L"NT EMF 1.008",  L"TEXT",
                                          L"XPS2GDI"};
  for (const wchar_t* t : kTypes) {
    if (EqualsIgnoreCase(type, t)) return true;
  }
  return false;
}

// The papers of the printer's driver, for DeviceCapabilities.
Result<std::vector<FakePaper>> PrinterPapers(FakeSpooler::State& s, const std::wstring& printerName) {
  using R = Result<std::vector<FakePaper>>;
  FakePrinter* p = PrinterByName(s, printerName);
  if (!p) return R::Fail(err::kInvalidPrinterName);
  FakeDriver* d = DriverByName(s, s.serverEnvironment, p->info.driverName);
  if (!d) return R::Fail(err::kUnknownPrinterDriver);
  return R::Ok(d->papers);
}

}  // namespace

namespace spooler_detail {

const Environment* ResolveEnvironment(const FakeSpooler::State& s, const std::wstring& name) {
  const std::wstring& wanted = name.empty() ? s.processEnvironment : name;
  for (const Environment& e : kEnvironments) {
    if (EqualsIgnoreCase(wanted, e.name)) return &e;
  }
  return nullptr;
}

std::wstring DriverDirectory(const Environment& env) { return std::wstring(kDriverRoot) + env.folder; }

FakePrinter* PrinterById(FakeSpooler::State& s, uint64_t id) {
  for (auto& p : s.printers) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

FakePrinter* PrinterByName(FakeSpooler::State& s, const std::wstring& name) {
  for (auto& p : s.printers) {
    if (EqualsIgnoreCase(p.info.printerName, name)) return &p;
  }
  return nullptr;
}

FakeDriver* DriverByName(FakeSpooler::State& s, const std::wstring& environment, const std::wstring& name) {
  for (auto& d : s.drivers) {
    if (EqualsIgnoreCase(d.record.environment, environment) && EqualsIgnoreCase(d.record.name, name)) return &d;
  }
  return nullptr;
}

PortInfo2* PortByName(FakeSpooler::State& s, const std::wstring& name) {
  for (auto& p : s.ports) {
    if (EqualsIgnoreCase(p.portName, name)) return &p;
  }
  return nullptr;
}

FakeMonitor* MonitorByName(FakeSpooler::State& s, const std::wstring& name) {
  for (auto& m : s.monitors) {
    if (EqualsIgnoreCase(m.info.name, name)) return &m;
  }
  return nullptr;
}

bool PortInUse(FakeSpooler::State& s, const std::wstring& portName) {
  for (auto& p : s.printers) {
    if (EqualsIgnoreCase(p.info.portName, portName)) return true;
  }
  return false;
}

DevMode CurrentDevMode(FakeSpooler::State& s, const FakePrinter& printer) {
  if (printer.info.devMode) return *printer.info.devMode;
  FakeDriver* d = DriverByName(s, s.serverEnvironment, printer.info.driverName);
  if (d && d->defaultDevMode) return *d->defaultDevMode;
  if (d && !d->papers.empty()) return MakeDefaultDevMode(printer.info.printerName, d->papers[0].id, d->papers[0].name);
  return MakeDefaultDevMode(printer.info.printerName, 1, L"Letter");
}

Result<uint32_t> LocalMonitorXcv(FakeSpooler::State& s, const std::wstring& command,
                                 const std::vector<uint8_t>& input) {
  std::wstring name = Utf16BytesToWide(input);
  if (command == platform::kXcvAddPort) {
    if (name.empty()) return Result<uint32_t>::Ok(err::kInvalidParameter);
    if (PortByName(s, name)) return Result<uint32_t>::Ok(err::kAlreadyExists);
    s.ports.push_back(PortInfo2{name, kLocalPortMonitor, kLocalMonitorName, platform::kPortTypeWrite});
    return Result<uint32_t>::Ok(err::kSuccess);
  }
  if (command == platform::kXcvDeletePort) {
    PortInfo2* port = PortByName(s, name);
    if (!port || !EqualsIgnoreCase(port->monitorName, kLocalPortMonitor)) {
      return Result<uint32_t>::Ok(err::kFileNotFound);
    }
    if (PortInUse(s, name)) return Result<uint32_t>::Ok(err::kBusy);
    EraseElement(s.ports, port);
    return Result<uint32_t>::Ok(err::kSuccess);
  }
  return Result<uint32_t>::Ok(err::kInvalidParameter);
}

Result<uint32_t> TcpMonitorXcv(FakeSpooler::State& s, const std::wstring& command,
                               const std::vector<uint8_t>& input) {
  if (command == platform::kXcvAddPort) {
    platform::TcpPortData1 data = platform::DecodePortData1(input);
    if (data.version != 1 || data.portName.empty() || data.hostAddress.empty()) {
      return Result<uint32_t>::Ok(err::kInvalidParameter);
    }
    if (PortByName(s, data.portName)) return Result<uint32_t>::Ok(err::kAlreadyExists);
    s.ports.push_back(PortInfo2{data.portName, kTcpPortMonitor, kTcpMonitorName,
                                platform::kPortTypeWrite | platform::kPortTypeRead});
    return Result<uint32_t>::Ok(err::kSuccess);
  }
  if (command == platform::kXcvDeletePort) {
    std::wstring name = platform::DecodeDeletePortData1(input);
    PortInfo2* port = PortByName(s, name);
    if (!port || !EqualsIgnoreCase(port->monitorName, kTcpPortMonitor)) {
      return Result<uint32_t>::Ok(err::kUnknownPort);
    }
    if (PortInUse(s, name)) return Result<uint32_t>::Ok(err::kBusy);
    EraseElement(s.ports, port);
    return Result<uint32_t>::Ok(err::kSuccess);
  }
  return Result<uint32_t>::Ok(err::kInvalidParameter);
}

}  // namespace spooler_detail

FakeSpooler::FakeSpooler(FakeFiles& files) : state_(std::make_shared<State>()) {
  State& s = *state_;
  s.files = &files;
  for (const wchar_t* folder : {L"w32x86", L"x64", L"arm64"}) {
    files.AddDirectory(std::wstring(kDriverRoot) + folder + L"\\3");
  }
  for (const wchar_t* name : kLocalPorts) {
    s.ports.push_back(PortInfo2{name, kLocalPortMonitor, kLocalMonitorName, platform::kPortTypeWrite});
  }
  s.monitors.push_back(FakeMonitor{MonitorInfo2{kLocalMonitorName, s.serverEnvironment, L"localspl.dll"}});
  s.monitors.push_back(FakeMonitor{MonitorInfo2{kTcpMonitorName, s.serverEnvironment, L"tcpmon.dll"}});
  for (const BuiltinForm& f : kBuiltinForms) {
    s.forms.push_back(FormInfo1{platform::kFormBuiltin, f.name, f.width, f.height, 0, 0, f.width, f.height});
  }
}

FakeSpooler::~FakeSpooler() = default;

void FakeSpooler::SetStandardTcpIpMonitorInstalled(bool installed) {
  Lock lock(state_->mutex);
  State& s = *state_;
  FakeMonitor* m = MonitorByName(s, kTcpMonitorName);
  if (installed && !m) s.monitors.push_back(FakeMonitor{MonitorInfo2{kTcpMonitorName, s.serverEnvironment, L"tcpmon.dll"}});
  if (!installed && m) EraseElement(s.monitors, m);
}

FakePrinter& FakeSpooler::AddPrinterDirectly(const PrinterInfo2& info) {
  Lock lock(state_->mutex);
  FakePrinter p;
  p.id = state_->nextPrinterId++;
  p.info = info;
  state_->printers.push_back(std::move(p));
  return state_->printers.back();
}

FakeDriver& FakeSpooler::AddDriverDirectly(const platform::DriverInfo& record) {
  Lock lock(state_->mutex);
  FakeDriver d;
  d.record = record;
  state_->drivers.push_back(std::move(d));
  return state_->drivers.back();
}

FakePrinter* FakeSpooler::FindPrinter(const std::wstring& name) {
  Lock lock(state_->mutex);
  return PrinterByName(*state_, name);
}

FakeDriver* FakeSpooler::FindDriver(const std::wstring& environment, const std::wstring& name) {
  Lock lock(state_->mutex);
  return DriverByName(*state_, environment, name);
}

size_t FakeSpooler::OpenHandleCount() const {
  Lock lock(state_->mutex);
  return state_->openHandles;
}

Result<std::unique_ptr<platform::IPrinterHandle>> FakeSpooler::OpenPrinter(const std::wstring& name, uint32_t access) {
  using R = Result<std::unique_ptr<platform::IPrinterHandle>>;
  Lock lock(state_->mutex);
  State& s = *state_;
  if (name.empty()) return R::Ok(MakeHandle(state_, HandleKind::Server, 0, L"", access));
  static const std::wstring kXcvMonitor = L",XcvMonitor ";
  static const std::wstring kXcvPort = L",XcvPort ";
  if (StartsWithIgnoreCase(name, kXcvMonitor)) {
    std::wstring monitor = name.substr(kXcvMonitor.size());
    if (!MonitorByName(s, monitor)) return R::Fail(err::kUnknownPort);
    return R::Ok(MakeHandle(state_, HandleKind::XcvMonitor, 0, monitor, access));
  }
  if (StartsWithIgnoreCase(name, kXcvPort)) {
    std::wstring port = name.substr(kXcvPort.size());
    if (!PortByName(s, port)) return R::Fail(err::kUnknownPort);
    return R::Ok(MakeHandle(state_, HandleKind::XcvPort, 0, port, access));
  }
  FakePrinter* p = PrinterByName(s, name);
  if (!p) return R::Fail(err::kInvalidPrinterName);
  if (p->allAccessDenied && (access & ~platform::kPrinterAccessUse) != 0) return R::Fail(err::kAccessDenied);
  return R::Ok(MakeHandle(state_, HandleKind::Printer, p->id, L"", access));
}

Result<std::vector<PrinterInfo2>> FakeSpooler::EnumPrinters2(uint32_t flags) {
  Lock lock(state_->mutex);
  State& s = *state_;
  std::vector<PrinterInfo2> out;
  for (const auto& p : s.printers) {
    bool wanted = p.connection ? (flags & platform::kPrinterEnumConnections) : (flags & platform::kPrinterEnumLocal);
    if (!wanted) continue;
    PrinterInfo2 info = p.info;
    info.devMode = CurrentDevMode(s, p);
    if (EqualsIgnoreCase(s.defaultPrinter, info.printerName)) info.attributes |= platform::kPrinterAttributeDefault;
    out.push_back(std::move(info));
  }
  return Result<std::vector<PrinterInfo2>>::Ok(std::move(out));
}

Result<std::vector<PortInfo2>> FakeSpooler::EnumPorts2() {
  Lock lock(state_->mutex);
  return Result<std::vector<PortInfo2>>::Ok(state_->ports);
}

Result<std::vector<MonitorInfo2>> FakeSpooler::EnumMonitors2() {
  Lock lock(state_->mutex);
  std::vector<MonitorInfo2> out;
  for (const auto& m : state_->monitors) out.push_back(m.info);
  return Result<std::vector<MonitorInfo2>>::Ok(std::move(out));
}

Result<std::unique_ptr<platform::IPrinterHandle>> FakeSpooler::AddPrinter2(const PrinterInfo2& info) {
  using R = Result<std::unique_ptr<platform::IPrinterHandle>>;
  Lock lock(state_->mutex);
  State& s = *state_;
  if (!ValidPrinterName(info.printerName)) return R::Fail(err::kInvalidPrinterName);
  if (PrinterByName(s, info.printerName)) return R::Fail(err::kPrinterAlreadyExists);
  if (info.portName.empty() || !PortByName(s, info.portName)) return R::Fail(err::kUnknownPort);
  if (!DriverByName(s, s.serverEnvironment, info.driverName)) return R::Fail(err::kUnknownPrinterDriver);
  if (!EqualsIgnoreCase(info.printProcessor, L"WinPrint")) return R::Fail(1798);  // ERROR_UNKNOWN_PRINTPROCESSOR
  if (!info.dataType.empty() && !KnownDataType(info.dataType)) return R::Fail(1804);  // ERROR_INVALID_DATATYPE
  FakePrinter p;
  p.id = s.nextPrinterId++;
  p.info = info;
  p.info.serverName.clear();
  p.info.status = 0;
  p.info.jobs = 0;
  p.info.attributes &= ~platform::kPrinterAttributeDefault;
  if (p.info.dataType.empty()) p.info.dataType = L"RAW";
  uint64_t id = p.id;
  s.printers.push_back(std::move(p));
  return R::Ok(MakeHandle(state_, HandleKind::Printer, id, L"", platform::kPrinterAllAccess));
}

Status FakeSpooler::SetDefaultPrinter(const std::wstring& name) {
  Lock lock(state_->mutex);
  State& s = *state_;
  if (name.empty()) {
    // A null name keeps a default that exists and otherwise picks the first printer.
    if (!PrinterByName(s, s.defaultPrinter) && !s.printers.empty()) s.defaultPrinter = s.printers.front().info.printerName;
    return Status::Ok();
  }
  FakePrinter* p = PrinterByName(s, name);
  if (!p) return Status::Fail(err::kInvalidPrinterName);
  s.defaultPrinter = p->info.printerName;
  return Status::Ok();
}

Result<std::wstring> FakeSpooler::GetDefaultPrinter() {
  Lock lock(state_->mutex);
  State& s = *state_;
  FakePrinter* p = PrinterByName(s, s.defaultPrinter);
  if (!p) return Result<std::wstring>::Fail(err::kFileNotFound);
  return Result<std::wstring>::Ok(p->info.printerName);
}

Status FakeSpooler::AddMonitor2(const MonitorInfo2& info) {
  Lock lock(state_->mutex);
  State& s = *state_;
  const Environment* env = ResolveEnvironment(s, info.environment);
  if (!env) return Status::Fail(err::kInvalidEnvironment);
  if (info.name.empty() || info.dllName.empty()) return Status::Fail(err::kInvalidParameter);
  if (MonitorByName(s, info.name)) return Status::Fail(err::kPrintMonitorAlreadyInstalled);
  // The spooler loads the monitor from the system folder at once.
  if (!s.files->Exists(std::wstring(kSystemFolder) + info.dllName)) return Status::Fail(err::kModuleNotFound);
  s.monitors.push_back(FakeMonitor{MonitorInfo2{info.name, env->name, info.dllName}});
  return Status::Ok();
}

Status FakeSpooler::DeleteMonitor(const std::wstring& environment, const std::wstring& name) {
  Lock lock(state_->mutex);
  State& s = *state_;
  if (!ResolveEnvironment(s, environment)) return Status::Fail(err::kInvalidEnvironment);
  FakeMonitor* m = MonitorByName(s, name);
  if (!m) return Status::Fail(err::kUnknownPrintMonitor);
  // Ports name their monitor as PORT_INFO_2 shows it.
  std::wstring label = EqualsIgnoreCase(m->info.name, kLocalMonitorName) ? std::wstring(kLocalPortMonitor)
                       : EqualsIgnoreCase(m->info.name, kTcpMonitorName) ? std::wstring(kTcpPortMonitor)
                                                                         : m->info.name;
  bool hasPorts = std::any_of(s.ports.begin(), s.ports.end(),
                              [&](const PortInfo2& p) { return EqualsIgnoreCase(p.monitorName, label); });
  if (m->busy || hasPorts) return Status::Fail(err::kPrintMonitorInUse);
  EraseElement(s.monitors, m);
  return Status::Ok();
}

Status FakeSpooler::AddPort(uintptr_t, const std::wstring& monitorName) {
  std::function<std::optional<std::wstring>(const std::wstring&)> dialog;
  {
    Lock lock(state_->mutex);
    FakeMonitor* m = MonitorByName(*state_, monitorName);
    if (!m) return Status::Fail(err::kUnknownPrintMonitor);
    if (!EqualsIgnoreCase(m->info.name, kLocalMonitorName) && !EqualsIgnoreCase(m->info.name, kTcpMonitorName)) {
      return Status::Fail(err::kNotSupported);  // a monitor without a user interface
    }
    dialog = state_->addPortDialog;
  }
  // The dialog runs without the lock, as the monitor's own window would.
  std::optional<std::wstring> name = dialog ? dialog(monitorName) : std::nullopt;
  if (!name) return Status::Fail(err::kCancelled);
  Lock lock(state_->mutex);
  State& s = *state_;
  if (PortByName(s, *name)) return Status::Fail(err::kAlreadyExists);
  if (EqualsIgnoreCase(monitorName, kTcpMonitorName)) {
    s.ports.push_back(PortInfo2{*name, kTcpPortMonitor, kTcpMonitorName, platform::kPortTypeWrite | platform::kPortTypeRead});
  } else {
    s.ports.push_back(PortInfo2{*name, kLocalPortMonitor, kLocalMonitorName, platform::kPortTypeWrite});
  }
  return Status::Ok();
}

Status FakeSpooler::ConfigurePort(uintptr_t, const std::wstring& portName) {
  std::function<bool(const std::wstring&)> dialog;
  {
    Lock lock(state_->mutex);
    if (!PortByName(*state_, portName)) return Status::Fail(err::kUnknownPort);
    dialog = state_->configurePortDialog;
  }
  if (dialog && !dialog(portName)) return Status::Fail(err::kCancelled);
  return Status::Ok();
}

Status FakeSpooler::DeletePort(uintptr_t, const std::wstring& portName) {
  Lock lock(state_->mutex);
  State& s = *state_;
  PortInfo2* port = PortByName(s, portName);
  if (!port) return Status::Fail(err::kUnknownPort);
  if (PortInUse(s, portName)) return Status::Fail(err::kBusy);
  EraseElement(s.ports, port);
  return Status::Ok();
}

Result<std::vector<std::wstring>> FakeSpooler::DevicePaperNames(const std::wstring& printerName, const std::wstring&) {
  using R = Result<std::vector<std::wstring>>;
  Lock lock(state_->mutex);
  auto papers = PrinterPapers(*state_, printerName);
  if (!papers) return R::Fail(papers.error);
  std::vector<std::wstring> out;
  for (const auto& p : papers.value) out.push_back(p.name.substr(0, 63));  // 64 characters with the NUL
  return R::Ok(std::move(out));
}

Result<std::vector<uint16_t>> FakeSpooler::DevicePapers(const std::wstring& printerName, const std::wstring&) {
  using R = Result<std::vector<uint16_t>>;
  Lock lock(state_->mutex);
  auto papers = PrinterPapers(*state_, printerName);
  if (!papers) return R::Fail(papers.error);
  std::vector<uint16_t> out;
  for (const auto& p : papers.value) out.push_back(p.id);
  return R::Ok(std::move(out));
}

Result<std::vector<platform::PaperSize>> FakeSpooler::DevicePaperSizes(const std::wstring& printerName,
                                                                      const std::wstring&) {
  using R = Result<std::vector<platform::PaperSize>>;
  Lock lock(state_->mutex);
  auto papers = PrinterPapers(*state_, printerName);
  if (!papers) return R::Fail(papers.error);
  std::vector<platform::PaperSize> out;
  for (const auto& p : papers.value) out.push_back(platform::PaperSize{p.width, p.length});
  return R::Ok(std::move(out));
}

DevMode MakeDefaultDevMode(const std::wstring& deviceName, uint16_t paperSize, const std::wstring& formName) {
  constexpr size_t kSize = 220;
  DevMode dm;
  dm.bytes.assign(kSize, 0);
  auto put16 = [&](size_t at, uint16_t v) {
    dm.bytes[at] = static_cast<uint8_t>(v);
    dm.bytes[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, static_cast<uint16_t>(v));
    put16(at + 2, static_cast<uint16_t>(v >> 16));
  };
  auto putText = [&](size_t at, const std::wstring& text) {
    std::vector<uint8_t> b = WideToUtf16Bytes(text, false);
    std::copy_n(b.begin(), std::min<size_t>(b.size(), 62), dm.bytes.begin() + at);  // 32 characters with the NUL
  };
  putText(0, deviceName);                 // dmDeviceName
  put16(64, 0x0401);                      // dmSpecVersion
  put16(66, 0x0001);                      // dmDriverVersion
  put16(68, static_cast<uint16_t>(kSize));  // dmSize
  put16(70, 0);                           // dmDriverExtra
  // DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE |
  // DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_FORMNAME
  put32(72, 0x1 | 0x2 | 0x10 | 0x100 | 0x200 | 0x400 | 0x800 | 0x1000 | 0x2000 | 0x10000);
  put16(76, 1);          // dmOrientation: portrait
  put16(78, paperSize);  // dmPaperSize
  put16(84, 100);        // dmScale
  put16(86, 1);          // dmCopies
  put16(88, 15);         // dmDefaultSource: DMBIN_FORMSOURCE
  put16(90, 300);        // dmPrintQuality
  put16(92, 1);          // dmColor: monochrome
  put16(94, 1);          // dmDuplex: simplex
  put16(96, 300);        // dmYResolution
  putText(102, formName);  // dmFormName
  return dm;
}

}  // namespace orvello::fake
