// The handles the fake spooler hands out: a printer, the print server, or
// a port monitor's configuration object. A handle keeps the spooler's state
// alive and finds its printer by a number that survives renames; once the
// printer is deleted the handle fails with 6.
#include <algorithm>

#include "platform/fake/fake_spooler.h"
#include "platform/fake/fake_spooler_internal.h"
#include "system/text.h"

namespace orvello::fake::spooler_detail {

using platform::DevMode;
using platform::DriverInfo;
using platform::FormInfo1;
using platform::PrinterDataValue;
using platform::PrinterInfo;
using platform::PrinterInfo2;
using platform::Result;
using platform::Status;
namespace err = platform::err;

namespace {

using Lock = std::lock_guard<std::mutex>;
using State = FakeSpooler::State;

constexpr uint32_t kPrinterStatusPaused = 0x1;
constexpr uint32_t kPrinterEnumIcon8 = 0x00800000;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kDeviceNotSelectedTimeout = 15000;
constexpr uint32_t kTransmissionRetryTimeout = 45000;

// Addresses shown for the pointer members: stable per printer, never null.
uint64_t DevModeAddress(uint64_t id) { return 0x00A10000u + id * 0x1000u; }
uint64_t SecurityDescriptorAddress(uint64_t id) { return 0x00A10800u + id * 0x1000u; }

PrinterDataValue TextValue(const std::wstring& text) {
  return PrinterDataValue{kRegSz, WideToUtf16Bytes(text, true)};
}

class FakePrinterHandle : public platform::IPrinterHandle {
 public:
  FakePrinterHandle(std::shared_ptr<State> state, HandleKind kind, uint64_t printerId, std::wstring target,
                    uint32_t access)
      : state_(std::move(state)), kind_(kind), printerId_(printerId), target_(std::move(target)), access_(access) {
    ++state_->openHandles;  // the creator holds the lock
  }
  ~FakePrinterHandle() override {
    Lock lock(state_->mutex);
    --state_->openHandles;
  }

  Result<PrinterInfo> GetPrinter(uint32_t level) override {
    using R = Result<PrinterInfo>;
    Lock lock(state_->mutex);
    FakePrinter* p = Printer();
    if (!p) return R::Fail(err::kInvalidHandle);
    State& s = *state_;
    const PrinterInfo2& i = p->info;
    PrinterInfo out;
    out.level = level;
    switch (level) {
      case 1:
        out.flags = kPrinterEnumIcon8;
        out.description = i.printerName + L"," + i.driverName + L"," + i.location;
        out.name = i.printerName;
        out.comment = i.comment;
        break;
      case 2:
        out.serverName = i.serverName;
        out.printerName = i.printerName;
        out.shareName = i.shareName;
        out.portName = i.portName;
        out.driverName = i.driverName;
        out.comment = i.comment;
        out.location = i.location;
        out.devMode = CurrentDevMode(s, *p);
        out.devModeAddress = DevModeAddress(p->id);
        out.sepFile = i.sepFile;
        out.printProcessor = i.printProcessor;
        out.dataType = i.dataType;
        out.parameters = i.parameters;
        out.securityDescriptorAddress = SecurityDescriptorAddress(p->id);
        out.attributes = Attributes(*p);
        out.priority = i.priority;
        out.defaultPriority = i.defaultPriority;
        out.startTime = i.startTime;
        out.untilTime = i.untilTime;
        out.status = i.status;
        out.jobs = i.jobs;
        out.averagePpm = i.averagePpm;
        break;
      case 3:
        out.securityDescriptorAddress = SecurityDescriptorAddress(p->id);
        break;
      case 4:
        out.printerName = i.printerName;
        out.serverName = i.serverName;
        out.attributes = Attributes(*p);
        break;
      case 5:
        out.printerName = i.printerName;
        out.portName = i.portName;
        out.attributes = Attributes(*p);
        out.deviceNotSelectedTimeout = kDeviceNotSelectedTimeout;
        out.transmissionRetryTimeout = kTransmissionRetryTimeout;
        break;
      case 6:
        out.status = i.status;
        break;
      case 7:
        // Without a directory service there is nothing to publish to.
        if (!s.directoryServiceAvailable) return R::Fail(err::kInvalidLevel);
        out.objectGuid = p->published ? p->objectGuid : std::wstring();
        out.action = p->published ? platform::kDsPrintPublish : platform::kDsPrintUnpublish;
        break;
      case 8:
      case 9:
        out.devMode = CurrentDevMode(s, *p);
        out.devModeAddress = DevModeAddress(p->id);
        break;
      default:
        return R::Fail(err::kInvalidLevel);
    }
    return R::Ok(std::move(out));
  }

  Result<PrinterInfo2> GetPrinter2() override {
    using R = Result<PrinterInfo2>;
    Lock lock(state_->mutex);
    FakePrinter* p = Printer();
    if (!p) return R::Fail(err::kInvalidHandle);
    PrinterInfo2 info = p->info;
    info.devMode = CurrentDevMode(*state_, *p);
    info.attributes = Attributes(*p);
    return R::Ok(std::move(info));
  }

  Status SetPrinter2(const PrinterInfo2& info) override {
    Lock lock(state_->mutex);
    State& s = *state_;
    FakePrinter* p = Printer();
    if (!p) return Status::Fail(err::kInvalidHandle);
    if (!Writable()) return Status::Fail(err::kAccessDenied);
    if (info.printerName.empty()) return Status::Fail(err::kInvalidPrinterName);
    FakePrinter* other = PrinterByName(s, info.printerName);
    if (other && other != p) return Status::Fail(err::kPrinterAlreadyExists);
    if (!PortByName(s, info.portName)) return Status::Fail(err::kUnknownPort);
    if (!DriverByName(s, s.serverEnvironment, info.driverName)) return Status::Fail(err::kUnknownPrinterDriver);
    if (EqualsIgnoreCase(s.defaultPrinter, p->info.printerName)) s.defaultPrinter = info.printerName;
    std::optional<DevMode> devMode = info.devMode ? info.devMode : p->info.devMode;
    uint32_t status = p->info.status, jobs = p->info.jobs;
    p->info = info;
    p->info.serverName.clear();
    p->info.devMode = std::move(devMode);
    p->info.status = status;  // read-only members
    p->info.jobs = jobs;
    p->info.attributes &= ~platform::kPrinterAttributeDefault;
    return Status::Ok();
  }

  Status SetPrinter7(uint32_t action) override {
    Lock lock(state_->mutex);
    FakePrinter* p = Printer();
    if (!p) return Status::Fail(err::kInvalidHandle);
    if (!Writable()) return Status::Fail(err::kAccessDenied);
    if (!state_->directoryServiceAvailable) return Status::Fail(err::kInvalidLevel);
    switch (action) {
      case platform::kDsPrintPublish:
      case platform::kDsPrintRepublish:
        p->published = true;
        p->objectGuid = L"{6F2B1C3D-0000-4000-8000-" + FormatText(L"%012llX", static_cast<unsigned long long>(p->id)) + L"}";
        return Status::Ok();
      case platform::kDsPrintUnpublish:
        p->published = false;
        p->objectGuid.clear();
        return Status::Ok();
      case platform::kDsPrintUpdate:
        return Status::Ok();
      default:
        return Status::Fail(err::kInvalidParameter);
    }
  }

  Status ControlPrinter(uint32_t command) override {
    Lock lock(state_->mutex);
    FakePrinter* p = Printer();
    if (!p) return Status::Fail(err::kInvalidHandle);
    if (!Writable()) return Status::Fail(err::kAccessDenied);
    switch (command) {
      case platform::kPrinterControlPurge:
        p->info.jobs = 0;
        return Status::Ok();
      case platform::kPrinterControlPause:
        p->info.status |= kPrinterStatusPaused;
        return Status::Ok();
      case platform::kPrinterControlResume:
        p->info.status &= ~kPrinterStatusPaused;
        return Status::Ok();
      default:
        return Status::Fail(err::kInvalidPrinterCommand);
    }
  }

  Status DeletePrinter() override {
    Lock lock(state_->mutex);
    State& s = *state_;
    FakePrinter* p = Printer();
    if (!p) return Status::Fail(err::kInvalidHandle);
    if (!Writable()) return Status::Fail(err::kAccessDenied);
    if (EqualsIgnoreCase(s.defaultPrinter, p->info.printerName)) s.defaultPrinter.clear();
    EraseElement(s.printers, p);
    return Status::Ok();
  }

  Result<DriverInfo> GetPrinterDriver(const std::wstring& environment, uint32_t level) override {
    using R = Result<DriverInfo>;
    Lock lock(state_->mutex);
    State& s = *state_;
    FakePrinter* p = Printer();
    if (!p) return R::Fail(err::kInvalidHandle);
    const Environment* env = ResolveEnvironment(s, environment);
    if (!env) return R::Fail(err::kInvalidEnvironment);
    FakeDriver* d = DriverByName(s, env->name, p->info.driverName);
    if (!d) return R::Fail(err::kUnknownPrinterDriver);
    DriverInfo out;
    if (!ProjectDriver(d->record, level, &out)) return R::Fail(err::kInvalidLevel);
    return R::Ok(std::move(out));
  }

  Result<PrinterDataValue> GetPrinterDataEx(const std::wstring& key, const std::wstring& value, uint32_t bufferSize,
                                            uint32_t* needed) override {
    using R = Result<PrinterDataValue>;
    Lock lock(state_->mutex);
    FakePrinter* p = Printer();
    if (!p) return R::Fail(err::kInvalidHandle);
    std::optional<PrinterDataValue> found;
    if (EqualsIgnoreCase(key, L"DsSpooler")) {
      // The spooler keeps these in step with the printer itself.
      if (EqualsIgnoreCase(value, L"printerName")) found = TextValue(p->info.printerName);
      if (EqualsIgnoreCase(value, L"driverName")) found = TextValue(p->info.driverName);
      if (EqualsIgnoreCase(value, L"portName")) found = TextValue(p->info.portName);
    }
    if (!found) {
      auto k = p->data.find(key);
      if (k != p->data.end()) {
        auto v = k->second.find(value);
        if (v != k->second.end()) found = v->second;
      }
    }
    if (!found) return R::Fail(err::kFileNotFound);
    uint32_t size = static_cast<uint32_t>(found->data.size());
    if (needed) *needed = size;
    if (size > bufferSize) return R::Fail(err::kMoreData);
    return R::Ok(std::move(*found));
  }

  Status SetPrinterDataEx(const std::wstring& key, const std::wstring& value, uint32_t type,
                          const std::vector<uint8_t>& data) override {
    Lock lock(state_->mutex);
    FakePrinter* p = Printer();
    if (!p) return Status::Fail(err::kInvalidHandle);
    if (!Writable()) return Status::Fail(err::kAccessDenied);
    if (key.empty()) return Status::Fail(err::kInvalidParameter);
    p->data[key][value] = PrinterDataValue{type, data};
    return Status::Ok();
  }

  Result<int32_t> DocumentProperties(uintptr_t, const std::wstring&, DevMode* out, const DevMode* in,
                                     uint32_t mode) override {
    std::function<std::optional<DevMode>(const std::wstring&, const DevMode&)> dialog;
    DevMode shown;
    std::wstring name;
    {
      Lock lock(state_->mutex);
      FakePrinter* p = Printer();
      if (!p) return Result<int32_t>{-1, err::kInvalidHandle};
      DevMode current = CurrentDevMode(*state_, *p);
      if (mode == 0) return Result<int32_t>::Ok(static_cast<int32_t>(current.bytes.size()));
      shown = (mode & platform::kDmInBuffer) && in ? *in : current;
      dialog = state_->preferencesDialog;
      name = p->info.printerName;
    }
    if (mode & platform::kDmInPrompt) {
      // The driver's dialog runs without the lock, as a real window would.
      std::optional<DevMode> chosen = dialog ? dialog(name, shown) : std::nullopt;
      if (!chosen) return Result<int32_t>::Ok(platform::kIdCancel);
      shown = std::move(*chosen);
    }
    if ((mode & platform::kDmOutBuffer) && out) *out = std::move(shown);
    return Result<int32_t>::Ok(platform::kIdOk);
  }

  Result<uint32_t> XcvData(const std::wstring& command, const std::vector<uint8_t>& input,
                           std::vector<uint8_t>* output, uint32_t) override {
    Lock lock(state_->mutex);
    State& s = *state_;
    if (output) output->clear();
    if (kind_ != HandleKind::XcvMonitor && kind_ != HandleKind::XcvPort) {
      return Result<uint32_t>::Fail(err::kInvalidHandle);
    }
    std::wstring monitor = target_;
    if (kind_ == HandleKind::XcvPort) {
      platform::PortInfo2* port = PortByName(s, target_);
      if (!port) return Result<uint32_t>::Fail(err::kInvalidHandle);
      monitor = EqualsIgnoreCase(port->monitorName, kTcpPortMonitor) ? kTcpMonitorName : kLocalMonitorName;
    }
    if (!MonitorByName(s, monitor)) return Result<uint32_t>::Fail(err::kInvalidHandle);
    if (EqualsIgnoreCase(monitor, kTcpMonitorName)) return TcpMonitorXcv(s, command, input);
    if (EqualsIgnoreCase(monitor, kLocalMonitorName)) return LocalMonitorXcv(s, command, input);
    return Result<uint32_t>::Ok(err::kInvalidParameter);
  }

  Result<std::vector<FormInfo1>> EnumForms1() override {
    using R = Result<std::vector<FormInfo1>>;
    Lock lock(state_->mutex);
    if (!FormsReachable()) return R::Fail(err::kInvalidHandle);
    return R::Ok(state_->forms);
  }

  Result<FormInfo1> GetForm1(const std::wstring& name) override {
    using R = Result<FormInfo1>;
    Lock lock(state_->mutex);
    if (!FormsReachable()) return R::Fail(err::kInvalidHandle);
    for (const auto& f : state_->forms) {
      if (EqualsIgnoreCase(f.name, name)) return R::Ok(f);
    }
    return R::Fail(err::kInvalidFormName);
  }

  Status DeleteForm(const std::wstring& name) override {
    Lock lock(state_->mutex);
    if (!FormsReachable()) return Status::Fail(err::kInvalidHandle);
    auto& forms = state_->forms;
    auto it = std::find_if(forms.begin(), forms.end(), [&](const FormInfo1& f) { return EqualsIgnoreCase(f.name, name); });
    if (it == forms.end()) return Status::Fail(err::kInvalidFormName);
    if (it->flags == platform::kFormBuiltin) return Status::Fail(err::kInvalidParameter);
    forms.erase(it);
    return Status::Ok();
  }

 private:
  FakePrinter* Printer() { return kind_ == HandleKind::Printer ? PrinterById(*state_, printerId_) : nullptr; }
  bool Writable() const { return (access_ & ~platform::kPrinterAccessUse) != 0; }
  bool FormsReachable() {
    return kind_ == HandleKind::Server || (kind_ == HandleKind::Printer && Printer() != nullptr);
  }
  uint32_t Attributes(const FakePrinter& p) const {
    uint32_t a = p.info.attributes & ~platform::kPrinterAttributeDefault;
    if (EqualsIgnoreCase(state_->defaultPrinter, p.info.printerName)) a |= platform::kPrinterAttributeDefault;
    return a;
  }

  std::shared_ptr<State> state_;
  HandleKind kind_;
  uint64_t printerId_;
  std::wstring target_;
  uint32_t access_;
};

}  // namespace

std::unique_ptr<platform::IPrinterHandle> MakeHandle(std::shared_ptr<FakeSpooler::State> state, HandleKind kind,
                                                     uint64_t printerId, std::wstring target, uint32_t access) {
  return std::make_unique<FakePrinterHandle>(std::move(state), kind, printerId, std::move(target), access);
}

}  // namespace orvello::fake::spooler_detail
