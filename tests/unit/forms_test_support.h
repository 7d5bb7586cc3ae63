#pragma once
// The wizard as the user meets it: the main frame with all its forms over
// the layouts and language packs of package/zip on disk, the application
// object over a fake machine, and the built package for staging and the
// message texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "lang/language.h"
#include "payload/package.h"
#include "shell/main_frame.h"
#include "shell/msg_wnd2.h"
#include "shell_test_support.h"
#include "support/zip_builder.h"
#include "system/output_pipe.h"
#include "system/text.h"
#include "system/worker_threads.h"
#include "ui/containers.h"
#include "ui/grid.h"
#include "ui/headless/actions.h"
#include "ui/rich_edit.h"

namespace orvello::test {

inline std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes down every page `tab_main` shows, in order.
class PageRecorder : public ui::CUIForm {
 public:
  void OnTabSelect(ui::Notification& msg) override {
    auto* tabs = dynamic_cast<ui::TabLayout*>(msg.sender);
    if (tabs && msg.IsFrom(L"tab_main") && tabs->SelectedChild()) pages.push_back(tabs->SelectedChild()->Name());
  }
  std::vector<std::wstring> pages;
};

struct LogLine {
  std::wstring text;
  uint32_t argb;
  bool operator==(const LogLine&) const = default;
};
inline void PrintTo(const LogLine& l, std::ostream* os) { *os << WideToUtf8(l.text) << " #" << std::hex << l.argb; }

class WizardTest : public ShellTest {
 protected:
  static constexpr uint32_t kBlue = 0xFF0000FF;
  static constexpr uint32_t kRed = 0xFFFF0000;

  void SetUp() override {
    const std::filesystem::path root = std::filesystem::path(ORVELLO_SOURCE_DIR) / "package" / "zip";
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
      if (entry.path().extension() == ".xml") skin_.Put(entry.path().filename().wstring(), FileText(entry.path()));
    }
    for (const wchar_t* language : {L"English", L"ChineseSimplified"}) {
      for (const auto& entry : std::filesystem::directory_iterator(root / "Lang" / language)) {
        skin_.Put(std::wstring(L"Lang\\") + language + L"\\" + entry.path().filename().wstring(), FileText(entry.path()));
      }
    }
    skin_.Language().SetLanguage(L"Lang\\English", L"English");
    package_ = PackageArchive::Open(StagingZip());
    ASSERT_TRUE(package_) << "the built package is missing";
    SetCurrentPackage(package_.get());
    savedFolder_ = AppLanguage().CurrentFolder();
    savedLanguage_ = AppLanguage().CurrentLanguageName();
    SetLanguage(L"Lang\\English", L"English");
    RegisterProgramControls(machine_.system);
    app_.settings().SetRegistryKey(kCompanyKey, kApplicationName);
    UseShippedDocuments();
  }
  void TearDown() override {
    CloseWizard();
    SetCurrentPackage(nullptr);
    // Other tests expect the messages as written.
    SetLanguage(savedFolder_, savedLanguage_);
  }
  void CloseWizard() {
    if (frame_) frame_->Destroy();
    frame_.reset();
    // Destroyed without WM_CLOSE: the pipe the window installed stays until removed.
    RemoveOutputPipe();
    EXPECT_TRUE(WaitForWorkerThreads(std::chrono::seconds(10)));
    recorder_.pages.clear();
  }

  static const std::vector<uint8_t>& StagingZip() {
    static const std::vector<uint8_t> zip = [] {
      std::string text = FileText(ORVELLO_PACKAGE_ZIP);
      std::vector<uint8_t> bytes(text.begin(), text.end());
      auto shipped = PackageArchive::Open(bytes);
      return shipped ? BuildZip(WithDriverBinaries(*shipped)) : std::vector<uint8_t>{};
    }();
    return zip;
  }

  // The built package, with stand-ins for the Windows programs and driver
  // DLLs that a build without the cross compiler leaves out.
  static std::vector<std::pair<std::string, std::string>> WithDriverBinaries(const PackageArchive& shipped) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::wstring& name : shipped.EntryNames()) {
      if (name.empty() || name.back() == L'/') continue;
      auto bytes = shipped.Read(name);
      if (bytes) entries.push_back({WideToUtf8(name), std::string(bytes->begin(), bytes->end())});
    }
    std::vector<std::string> wanted = {"Drivers/devcon32.exe", "Drivers/devcon64.exe", "Drivers/devconARM64.exe",
                                       "Drivers/devconXP32.exe"};
    for (const char* arch : {"i386", "amd64", "arm64"}) {
      for (const char* dll : {"TessarExUniNew.dll", "TessarExUiNew.dll", "TessarExLM.dll"}) {
        wanted.push_back(std::string("Drivers/TessarEx/") + arch + "/" + dll);
      }
    }
    for (const std::string& name : wanted) {
      bool present = std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return e.first == name; });
      if (!present) entries.push_back({name, "stand-in"});
    }
    return entries;
  }

  // The catalogue and profiles the program carries.
  void UseShippedDocuments() {
    LoadDocuments(FileText(ORVELLO_CATALOGUE_XML), FileText(ORVELLO_PROFILES_XML));
  }
  void LoadDocuments(const std::string& catalogue, const std::string& profiles) {
    app_.catalogue.doc.reset();
    app_.catalogue.doc.load_string(catalogue.c_str());
    app_.catalogue.loaded = 1;
    app_.profiles.doc.reset();
    app_.profiles.doc.load_string(profiles.c_str());
    app_.profiles.loaded = 1;
    app_.profile = {};
    LoadCatalogueHeader(app_.catalogue.doc, app_.profile);
  }

  void OpenWizard() {
    frame_ = std::make_unique<CMainFrame>(app_, CreateWizardForms(app_));
    frame_->RegisterForm(&recorder_);
    app_.mainFrame = frame_.get();
    ui::LoadResult result = frame_->Create(CMainFrame::kLayout, CMainFrame::kClassName);
    ASSERT_TRUE(result.created);
    for (const auto& problem : result.problems) ADD_FAILURE() << WideToUtf8(problem);
    frame_->Show();
    backend_.Pump();
  }

  WizardForms& Forms() { return frame_->forms(); }
  std::wstring Page() {
    ui::Control* page = frame_->TabMain() ? frame_->TabMain()->SelectedChild() : nullptr;
    return page ? page->Name() : L"";
  }
  // Pages shown since the last call.
  std::vector<std::wstring> TakePages() { return std::exchange(recorder_.pages, {}); }

  bool Click(const wchar_t* name) { return ui::headless::Click(*frame_, name); }
  bool Select(const wchar_t* name) { return ui::headless::Select(*frame_, name); }
  bool Type(const wchar_t* name, const std::wstring& text) { return ui::headless::TypeText(*frame_, name, text); }
  bool SetCheckedDefault(bool checked) { return ui::headless::SetChecked(*frame_, L"chk_set_default_printer", checked); }
  bool ClickRow(const wchar_t* grid, int row) { return ui::headless::ClickGridRow(*frame_, grid, row); }
  ui::Control* Control(const wchar_t* name) { return frame_->FindControl(name); }
  template <class T>
  T* Find(const wchar_t* name) {
    return frame_->Find<T>(name);
  }
  bool Visible(const wchar_t* name) { return Control(name) && Control(name)->IsVisibleOnScreen(); }
  bool Enabled(const wchar_t* name) { return Control(name) && Control(name)->IsEnabled(); }

  // Column `column` of every data row.
  std::vector<std::wstring> Column(const wchar_t* grid, int column = 1) {
    std::vector<std::wstring> cells;
    auto* g = Find<ui::Grid>(grid);
    for (int row = 1; g && row < g->RowCount(); ++row) cells.push_back(g->CellText(row, column));
    return cells;
  }

  std::wstring Setting(const wchar_t* name) {
    auto v = machine_.registry.QueryValue(platform::RegistryRoot::CurrentUser, L"software\\QOVA\\Orvello\\SetupMode",
                                          name);
    if (!v) return L"<missing>";
    if (v.value.data.size() == 4 && v.value.type == platform::RegistryType::Dword) {
      uint32_t n = 0;
      for (int i = 3; i >= 0; --i) n = (n << 8) | v.value.data[i];
      return std::to_wstring(n);
    }
    return Utf16BytesToWide(v.value.data);
  }

  // The message log's lines with their colours.
  std::vector<LogLine> LogLines() {
    std::vector<LogLine> lines;
    auto* log = Find<ui::RichEdit>(L"text_setup_msg");
    if (!log) return lines;
    std::wstring pending;
    uint32_t colour = 0;
    for (const ui::TextRun& run : log->Runs()) {
      for (wchar_t c : run.text) {
        if (c == L'\r') continue;
        if (c == L'\n') {
          lines.push_back({pending, colour});
          pending.clear();
          continue;
        }
        pending += c;
        colour = run.color.argb;
      }
    }
    if (!pending.empty()) lines.push_back({pending, colour});
    return lines;
  }

  // The printers of the fake spooler, by name.
  std::vector<std::wstring> PrinterNames() {
    std::vector<std::wstring> names;
    auto printers = machine_.spooler.EnumPrinters2(platform::kPrinterEnumLocal);
    if (printers) {
      for (const auto& p : printers.value) names.push_back(p.printerName);
    }
    return names;
  }
  platform::PrinterInfo2 Printer(const std::wstring& name) {
    auto printers = machine_.spooler.EnumPrinters2(platform::kPrinterEnumLocal);
    if (printers) {
      for (const auto& p : printers.value) {
        if (p.printerName == name) return p;
      }
    }
    return {};
  }
  void AddPrinter(const std::wstring& name, const std::wstring& port = L"LPT1:", const std::wstring& driver = L"Generic") {
    platform::PrinterInfo2 info;
    info.printerName = name;
    info.portName = port;
    info.driverName = driver;
    info.printProcessor = L"WinPrint";
    info.dataType = L"RAW";
    info.attributes = platform::kPrinterAttributeLocal;
    machine_.spooler.AddPrinterDirectly(info);
  }

  // A USB printer on port USB00<port> with its USBPRINT child.
  void Plug(int port, const std::wstring& hardwareId) {
    fake::FakeDeviceNode usb;
    usb.instanceId = UsbInstance(port);
    usb.parentId = L"HTREE\\ROOT\\0";
    usb.interfaces.push_back({L"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}",
                              L"\\\\?\\usb#vid_1a2b&pid_3c4d#ser" + std::to_wstring(port) +
                                  L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"});
    ASSERT_TRUE(machine_.devices.AddNode(usb));
    fake::FakeDeviceNode child;
    child.instanceId = PrintInstance(port);
    child.parentId = usb.instanceId;
    child.properties[fake::cm_drp::kHardwareId] = {hardwareId, L"USBPRINT\\Generic"};
    ASSERT_TRUE(machine_.devices.AddNode(child));
  }
  void Unplug(int port) { machine_.devices.RemoveNode(UsbInstance(port)); }
  static std::wstring UsbInstance(int port) { return L"USB\\VID_1A2B&PID_3C4D\\SER" + std::to_wstring(port); }
  static std::wstring PrintInstance(int port) { return L"USBPRINT\\ACME\\7&2F1E&0&USB00" + std::to_wstring(port); }

  // A driver installed for the program's own environment and the spooler's.
  void AddDriver(const std::wstring& name) {
    platform::DriverInfo record;
    record.level = 3;
    record.version = 3;
    record.name = name;
    for (const std::wstring& environment : {std::wstring(platform::kEnvironmentX86), machine_.spooler.state().serverEnvironment}) {
      record.environment = environment;
      if (!machine_.spooler.FindDriver(environment, name)) machine_.spooler.AddDriverDirectly(record);
    }
  }

  std::unique_ptr<PackageArchive> package_;
  std::wstring savedFolder_, savedLanguage_;
  PageRecorder recorder_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace orvello::test
