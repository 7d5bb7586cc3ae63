// The shipped skin: every window layout of the built package loads without
// problems, carries the names the program looks up, has a language entry
// for each of its texts in both shipped packs, and fits its window in both
// languages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lang/language.h"
#include "lang/language_choice.h"
#include "payload/package.h"
#include "platform/fake/fake_system_facts.h"
#include "shell/msg_wnd2.h"
#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/containers.h"
#include "ui/control_factory.h"
#include "ui/grid.h"
#include "ui/headless/headless_backend.h"
#include "ui/layout_texts.h"
#include "ui/menu.h"
#include "ui/picture.h"
#include "ui/skin.h"
#include "ui/tree.h"
#include "ui/window.h"

namespace orvello::ui {
namespace {

const PackageArchive* ShippedPackage() {
  static const std::vector<uint8_t> zip = [] {
    std::ifstream in(ORVELLO_PACKAGE_ZIP, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  static const std::unique_ptr<PackageArchive> archive = PackageArchive::Open(zip);
  return archive.get();
}

std::optional<std::vector<uint8_t>> ReadShipped(std::wstring_view path) {
  const PackageArchive* package = ShippedPackage();
  if (!package) return std::nullopt;
  return package->Read(path);
}

// Layouts at the archive root, split by what they hold.
std::vector<std::wstring> TopLevelLayouts(std::wstring_view prefix) {
  std::vector<std::wstring> found;
  if (!ShippedPackage()) return found;
  for (const std::wstring& name : ShippedPackage()->EntryNames()) {
    if (name.find(L'/') != std::wstring::npos || name.size() < 4) continue;
    if (!EqualsIgnoreCase(std::wstring_view(name).substr(name.size() - 4), L".xml")) continue;
    if (name.rfind(prefix, 0) == 0) found.push_back(name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The windows the program creates from a file of their own; the pages
// (form_*.xml) are built as part of the main frame.
std::vector<std::wstring> WindowLayouts() {
  std::vector<std::wstring> files = TopLevelLayouts(L"Dlg");
  files.insert(files.begin(), L"MainFrame.xml");
  return files;
}

const std::vector<std::wstring> kPages = {
    L"form_main",           L"form_printer_port",        L"form_custom_port",   L"form_custom_printer_mode",
    L"form_printer_mode",   L"form_printer_mode2",       L"form_printer_bluetooth", L"form_printer_driver",
    L"form_printer_search", L"form_printer_manufacturer", L"form_printer_name",  L"form_setup_prepare",
    L"form_setup_end",      L"form_delete_style",        L"form_delete_printer", L"form_delete_driver",
    L"form_delete_prepare", L"form_update_driver",       L"form_update_prepare", L"form_printer_tcpmon",
    L"form_printer_udp"};

// Captions the program shows as written in every language: they have no
// language entry on purpose.
struct Untranslated {
  const wchar_t* file;
  const wchar_t* text;
};
const Untranslated kUntranslated[] = {
    {L"form_main.xml", L"设备管理器"},
    {L"form_main.xml", L"资源管理器"},
    {L"form_printer_manufacturer.xml", L"上一步"},
    {L"form_printer_manufacturer.xml", L"下一步"},
    {L"form_printer_manufacturer.xml", L"取消"},
    {L"form_delete_printer.xml", L"打印测试页"},
    {L"form_delete_printer.xml", L"首选项"},
    {L"form_delete_printer.xml", L"打印机属性"},
    {L"form_delete_printer.xml", L"DevMode"},
    {L"form_delete_printer.xml", L"纸张列表"},
    {L"form_delete_printer.xml", L"打印机信息"},
    {L"form_delete_driver.xml", L"驱动信息"},
    {L"form_printer_udp.xml", L"搜索网络打印机"},
    {L"form_printer_udp.xml", L"上一步"},
    {L"form_printer_udp.xml", L"下一步"},
    {L"form_printer_udp.xml", L"取消"},
    {L"form_printer_udp.xml", L"名称"},
    {L"form_printer_udp.xml", L"型号"},
    {L"form_printer_udp.xml", L"IP"},
    {L"form_printer_udp.xml", L"子网掩码"},
    {L"form_printer_udp.xml", L"网关"},
    {L"form_printer_udp.xml", L"MAC"},
    {L"form_printer_udp.xml", L"DHCP"},
    {L"form_printer_udp.xml", L"固件版本"},
};

bool IsUntranslated(std::wstring_view file, std::wstring_view text) {
  return std::any_of(std::begin(kUntranslated), std::end(kUntranslated), [&](const Untranslated& u) {
    return EqualsIgnoreCase(file, u.file) && text == u.text;
  });
}

// The tree controls of the device windows belong to the devices module;
// where they are not registered yet a plain tree stands in for them.
class TreeStandIn : public Tree {
 public:
  explicit TreeStandIn(std::wstring className) : className_(std::move(className)) {}
  std::wstring ClassName() const override { return className_; }

 private:
  std::wstring className_;
};

// The classes this suite registered, to be removed again after it.
std::vector<std::wstring>& RegisteredForTest() {
  static std::vector<std::wstring> names;
  return names;
}

void RegisterProgramControlsForTest() {
  static fake::FakeSystemFacts system;
  RegisterProgramControls(system);
  RegisteredForTest().push_back(CMsgWnd2UI::kClassName);
  for (const wchar_t* tag : {L"TreeDevice", L"TreeShell"}) {
    if (CreateControl(tag)) continue;
    std::wstring className = std::wstring(L"C") + tag + L"UI";
    RegisterControlClass(className, [className] { return std::make_unique<TreeStandIn>(className); });
    RegisteredForTest().push_back(className);
  }
}

void UnregisterProgramControlsForTest() {
  for (const std::wstring& name : RegisteredForTest()) UnregisterControlClass(name);
  RegisteredForTest().clear();
}

void ForEachControl(Control& control, const std::function<void(Control&)>& visit) {
  visit(control);
  for (size_t i = 0; i < control.ChildCount(); ++i) ForEachControl(*control.ChildAt(i), visit);
}

std::wstring FileOf(const Window& window, const Control& control) {
  int index = control.LayoutFileIndex();
  if (index < 0 || index >= static_cast<int>(window.LayoutFiles().size())) return L"";
  return window.LayoutFiles()[index];
}

std::wstring Describe(const Control& control) {
  std::wstring what(KindTag(control.Kind()));
  if (!control.Name().empty()) what += L" " + control.Name();
  if (!control.LayoutText().empty()) what += L" \"" + control.LayoutText() + L"\"";
  return what;
}

std::string Where(const Window& window, const Control& control) {
  return WideToUtf8(FileOf(window, control) + L" " + Describe(control));
}

bool IsCjk(wchar_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF);
}

// Width of a text at a font, by the skin's rule of thumb: 6.5 px per Latin
// and 12 px per CJK character at the 12 px body font, scaled by the size,
// a tenth wider in bold.
double EstimatedWidth(std::wstring_view text, const FontDef& font) {
  double width = 0;
  for (wchar_t c : text) width += IsCjk(c) ? 12.0 : 6.5;
  width *= font.size / 12.0;
  if (font.bold) width *= 1.1;
  return width;
}

FontDef FontOf(const Window& window, const Control& control) {
  const std::vector<FontDef>& fonts = window.Fonts();
  for (const FontDef& font : fonts)
    if (font.id == control.Font()) return font;
  for (const FontDef& font : fonts)
    if (font.isDefault) return font;
  return FontDef{};
}

class SkinLayoutsTest : public ::testing::Test {
 protected:
  SkinLayoutsTest() : language_(ReadShipped), english_(ReadShipped), chinese_(ReadShipped) {
    SetSkinReader(ReadShipped);
    SetSkinLanguage(&language_);
    english_.SetLanguage(L"Lang\\English", L"English");
    chinese_.SetLanguage(L"Lang\\ChineseSimplified", L"ChineseSimplified");
  }
  ~SkinLayoutsTest() override {
    SetSkinReader(nullptr);
    SetSkinLanguage(nullptr);
  }

  static void SetUpTestSuite() { RegisterProgramControlsForTest(); }
  static void TearDownTestSuite() { UnregisterProgramControlsForTest(); }

  void SetUp() override { ASSERT_NE(ShippedPackage(), nullptr) << "no readable package at " << ORVELLO_PACKAGE_ZIP; }

  // Builds the window in `language` ("English" or "ChineseSimplified").
  std::unique_ptr<Window> Build(const std::wstring& file, const std::wstring& language = L"English",
                                LoadResult* result = nullptr) {
    language_.SetLanguage(L"Lang\\" + language, language);
    auto window = std::make_unique<Window>();
    LoadResult loaded = window->Create(file, file.substr(0, file.size() - 4));
    if (result) *result = loaded;
    if (loaded.created) window->Arrange(window->Attributes().size);
    return window;
  }

  headless::HeadlessBackend backend_;
  LanguageManager language_;
  LanguageManager english_;
  LanguageManager chinese_;
};

TEST_F(SkinLayoutsTest, EveryWindowLoadsWithoutProblems) {
  std::vector<std::wstring> files = WindowLayouts();
  ASSERT_GE(files.size(), 13u) << "the main frame and the dialogs";
  for (const std::wstring& file : files) {
    LoadResult result;
    auto window = Build(file, L"English", &result);
    EXPECT_TRUE(result.created) << WideToUtf8(file);
    for (const std::wstring& problem : result.problems) ADD_FAILURE() << WideToUtf8(problem);
  }
}

TEST_F(SkinLayoutsTest, MainFrameHasTheWizardPagesInOrder) {
  auto window = Build(L"MainFrame.xml");
  auto* tab = window->Find<TabLayout>(L"tab_main");
  ASSERT_NE(tab, nullptr);
  ASSERT_EQ(tab->ChildCount(), kPages.size());
  for (size_t i = 0; i < kPages.size(); ++i) {
    auto* page = dynamic_cast<ChildLayout*>(tab->ChildAt(i));
    ASSERT_NE(page, nullptr) << i;
    EXPECT_EQ(page->Name(), kPages[i]);
    EXPECT_EQ(page->XmlFile(), kPages[i] + L".xml");
  }
  // The six title buttons, left to right, each with its picture.
  const wchar_t* titleButtons[] = {L"windowlangbtn", L"windowaboutbtn", L"windowdeviceinfobtn",
                                   L"windowcontrolpanebtn", L"windowminbtn", L"windowclosebtn"};
  int previousLeft = -1;
  for (const wchar_t* name : titleButtons) {
    Control* button = window->FindControl(name);
    ASSERT_NE(button, nullptr) << WideToUtf8(name);
    EXPECT_EQ(button->Kind(), ControlKind::kButton);
    EXPECT_NE(button->Attribute(L"image"), nullptr) << WideToUtf8(name);
    EXPECT_FALSE(button->Tooltip().empty()) << WideToUtf8(name);
    EXPECT_GT(button->Pos().left, previousLeft) << WideToUtf8(name);
    previousLeft = button->Pos().left;
  }
  EXPECT_EQ(window->Attributes().size.width, 560);
  EXPECT_EQ(window->Attributes().size.height, 400);
}

// A control the program finds by name, with what it must be.
struct NamedControl {
  const wchar_t* file;  // the window's layout
  const wchar_t* page;  // the page it must sit on, or null
  const wchar_t* name;
  ControlKind kind;
};

constexpr ControlKind kButton = ControlKind::kButton;
constexpr ControlKind kLabel = ControlKind::kLabel;
constexpr ControlKind kEdit = ControlKind::kEdit;
constexpr ControlKind kGrid = ControlKind::kGrid;
constexpr ControlKind kOption = ControlKind::kOption;
constexpr ControlKind kCheck = ControlKind::kCheckBox;
constexpr ControlKind kPicture = ControlKind::kPicture;
constexpr ControlKind kBox = ControlKind::kHorizontalLayout;
constexpr ControlKind kCombo = ControlKind::kCombo;
constexpr ControlKind kTree = ControlKind::kTree;

const NamedControl kNamed[] = {
    {L"MainFrame.xml", nullptr, L"mainframe_dudez_version", kLabel},
    {L"MainFrame.xml", nullptr, L"dudez_debug", kLabel},
    {L"MainFrame.xml", nullptr, L"tab_main", ControlKind::kTabLayout},
    {L"MainFrame.xml", nullptr, L"windowlangbtn", kButton},
    {L"MainFrame.xml", nullptr, L"windowaboutbtn", kButton},
    {L"MainFrame.xml", nullptr, L"windowdeviceinfobtn", kButton},
    {L"MainFrame.xml", nullptr, L"windowcontrolpanebtn", kButton},
    {L"MainFrame.xml", nullptr, L"windowminbtn", kButton},
    {L"MainFrame.xml", nullptr, L"windowclosebtn", kButton},
    // install pages the shell and the search flow reach
    {L"MainFrame.xml", L"form_main", L"chk_install_driver", kOption},
    {L"MainFrame.xml", L"form_main", L"chk_update_driver", kOption},
    {L"MainFrame.xml", L"form_main", L"chk_uninstall_driver", kOption},
    {L"MainFrame.xml", L"form_main", L"btn_form_main_device_manager1", kButton},
    {L"MainFrame.xml", L"form_main", L"btn_form_main_device_manager2", kButton},
    {L"MainFrame.xml", L"form_main", L"btn_form_main_next", kButton},
    {L"MainFrame.xml", L"form_main", L"btn_form_main_cancel", kButton},
    {L"MainFrame.xml", L"form_printer_search", L"pic_form_printer_search_loading", kPicture},
    {L"MainFrame.xml", L"form_printer_search", L"btn_form_printer_search_pre", kButton},
    {L"MainFrame.xml", L"form_printer_search", L"btn_form_printer_search_cancel", kButton},
    {L"MainFrame.xml", L"form_printer_tcpmon", L"text_tcpmon_ip", kEdit},
    {L"MainFrame.xml", L"form_printer_tcpmon", L"text_tcpmon_port_name", kEdit},
    {L"MainFrame.xml", L"form_custom_port", L"grid_custom_port", kGrid},
    {L"MainFrame.xml", L"form_custom_port", L"btn_add_port", kButton},
    {L"MainFrame.xml", L"form_custom_port", L"btn_delete_port", kButton},
    {L"MainFrame.xml", L"form_custom_port", L"btn_configure_port", kButton},
    {L"MainFrame.xml", L"form_custom_port", L"btn_port_manager", kButton},
    {L"MainFrame.xml", L"form_setup_end", L"text_form_setup_end_title", kLabel},
    {L"MainFrame.xml", L"form_setup_end", L"btn_form_setup_first", kButton},
    {L"MainFrame.xml", L"form_setup_end", L"btn_form_setup_cancel", kButton},
    // network and Bluetooth search
    {L"MainFrame.xml", L"form_printer_udp", L"pic_form_printer_udp_loading", kPicture},
    {L"MainFrame.xml", L"form_printer_udp", L"grid_printer_udp", kGrid},
    {L"MainFrame.xml", L"form_printer_udp", L"btn_form_printer_udp_pre", kButton},
    {L"MainFrame.xml", L"form_printer_udp", L"btn_form_printer_udp_next", kButton},
    {L"MainFrame.xml", L"form_printer_udp", L"btn_form_printer_udp_cancel", kButton},
    {L"MainFrame.xml", L"form_printer_bluetooth", L"pic_loading_search_bluetooth", kPicture},
    {L"MainFrame.xml", L"form_printer_bluetooth", L"grid_printer_bluetooth", kGrid},
    {L"MainFrame.xml", L"form_printer_bluetooth", L"btn_form_printer_bluetooth_pre", kButton},
    {L"MainFrame.xml", L"form_printer_bluetooth", L"btn_form_printer_bluetooth_next", kButton},
    {L"MainFrame.xml", L"form_printer_bluetooth", L"btn_form_printer_bluetooth_cancel", kButton},
    // upgrade
    {L"MainFrame.xml", L"form_update_driver", L"text_update_printer_find_key", kEdit},
    {L"MainFrame.xml", L"form_update_driver", L"grid_update_printer_mode", kGrid},
    {L"MainFrame.xml", L"form_update_driver", L"btn_update_driver_pre", kButton},
    {L"MainFrame.xml", L"form_update_driver", L"btn_update_driver_next", kButton},
    {L"MainFrame.xml", L"form_update_driver", L"btn_update_driver_cancel", kButton},
    {L"MainFrame.xml", L"form_update_prepare", L"text_prepare_update", kEdit},
    {L"MainFrame.xml", L"form_update_prepare", L"btn_update_prepare_pre", kButton},
    {L"MainFrame.xml", L"form_update_prepare", L"btn_update_prepare_next", kButton},
    {L"MainFrame.xml", L"form_update_prepare", L"btn_update_prepare_cancel", kButton},
    // removal
    {L"MainFrame.xml", L"form_delete_printer", L"text_delete_printer_find_key", kEdit},
    {L"MainFrame.xml", L"form_delete_printer", L"grid_delete_printer", kGrid},
    {L"MainFrame.xml", L"form_delete_printer", L"chk_list_all_printers", kCheck},
    {L"MainFrame.xml", L"form_delete_printer", L"debug_form_delete_printer", kBox},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_debug_print_test_page", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_debug_document_properties", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_debug_device_properties", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_debug_devmode", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_debug_papers", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_debug_printer_device", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_delete_printer_pre", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_delete_printer_next", kButton},
    {L"MainFrame.xml", L"form_delete_printer", L"btn_delete_printer_cancel", kButton},
    {L"MainFrame.xml", L"form_delete_driver", L"text_delete_driver_find_key", kEdit},
    {L"MainFrame.xml", L"form_delete_driver", L"grid_delete_driver", kGrid},
    {L"MainFrame.xml", L"form_delete_driver", L"chk_list_all_drivers", kCheck},
    {L"MainFrame.xml", L"form_delete_driver", L"debug_form_delete_driver", kBox},
    {L"MainFrame.xml", L"form_delete_driver", L"btn_debug_driver_info", kButton},
    {L"MainFrame.xml", L"form_delete_driver", L"btn_delete_driver_pre", kButton},
    {L"MainFrame.xml", L"form_delete_driver", L"btn_delete_driver_next", kButton},
    {L"MainFrame.xml", L"form_delete_driver", L"btn_delete_driver_cancel", kButton},
    {L"MainFrame.xml", L"form_delete_prepare", L"text_prepare_delete", kEdit},
    {L"MainFrame.xml", L"form_delete_prepare", L"btn_delete_prepare_pre", kButton},
    {L"MainFrame.xml", L"form_delete_prepare", L"btn_delete_prepare_next", kButton},
    {L"MainFrame.xml", L"form_delete_prepare", L"btn_delete_prepare_cancel", kButton},
    // dialogs
    {L"DlgAbout.xml", nullptr, L"dudez_product", kLabel},
    {L"DlgAbout.xml", nullptr, L"dudez_company", kLabel},
    {L"DlgAbout.xml", nullptr, L"dudez_website", kLabel},
    {L"DlgAbout.xml", nullptr, L"dudez_tel", kLabel},
    {L"DlgAbout.xml", nullptr, L"dudez_email", kLabel},
    {L"DlgAbout.xml", nullptr, L"dudez_version", kLabel},
    {L"DlgAbout.xml", nullptr, L"dudez_create_time", kLabel},
    {L"DlgAbout.xml", nullptr, L"windowminbtn", kButton},
    {L"DlgAbout.xml", nullptr, L"windowclosebtn", kButton},
    {L"DlgLoading.xml", nullptr, L"pic_loading", kPicture},
    {L"DlgDevMode.xml", nullptr, L"grid_dev_mode", kGrid},
    {L"DlgPaperList.xml", nullptr, L"grid_papers", kGrid},
    {L"DlgPrinterInfo.xml", nullptr, L"cb_info_type", kCombo},
    {L"DlgPrinterInfo.xml", nullptr, L"grid_info", kGrid},
    {L"DlgDriverInfo.xml", nullptr, L"cb_info_type", kCombo},
    {L"DlgDriverInfo.xml", nullptr, L"grid_info", kGrid},
    {L"DlgPortMonitorList.xml", nullptr, L"grid_port_monitor_list", kGrid},
    {L"DlgPortMonitorList.xml", nullptr, L"btn_add_port", kButton},
    {L"DlgPortMonitorList.xml", nullptr, L"btn_cancel", kButton},
    {L"DlgInputBluetoothPin.xml", nullptr, L"text_pin", kEdit},
    {L"DlgInputBluetoothPin.xml", nullptr, L"btn_ok", kButton},
    {L"DlgInputBluetoothPin.xml", nullptr, L"btn_cancel", kButton},
    {L"DlgInputBluetoothPin.xml", nullptr, L"windowminbtn", kButton},
    {L"DlgInputBluetoothPin.xml", nullptr, L"windowclosebtn", kButton},
    {L"DlgDeviceInfo.xml", nullptr, L"chk_device_present", kCheck},
    {L"DlgDeviceInfo.xml", nullptr, L"chk_device_children", kCheck},
    {L"DlgDeviceInfo.xml", nullptr, L"opt_device_setupapi_class", kOption},
    {L"DlgDeviceInfo.xml", nullptr, L"opt_device_setupapi_interface", kOption},
    {L"DlgDeviceInfo.xml", nullptr, L"opt_device_cfgmgr32_class", kOption},
    {L"DlgDeviceInfo.xml", nullptr, L"opt_device_cfgmgr32_interface", kOption},
    {L"DlgDeviceInfo.xml", nullptr, L"cb_info_type", kCombo},
    {L"DlgDeviceInfo.xml", nullptr, L"tree_device_info", kTree},
    {L"DlgDeviceInfo.xml", nullptr, L"grid_info", kGrid},
    {L"DlgDeviceInfo.xml", nullptr, L"btn_delete_device", kButton},
    {L"DlgDeviceInfo3.xml", nullptr, L"windowmode_1", kOption},
    {L"DlgDeviceInfo3.xml", nullptr, L"windowmode_2", kOption},
    {L"DlgDeviceInfo3.xml", nullptr, L"tree_device_info", kTree},
    {L"DlgDeviceInfo3.xml", nullptr, L"grid_info", kGrid},
    {L"DlgDeviceInfo2.xml", nullptr, L"tree_device_info", kTree},
    {L"DlgDeviceInfo2.xml", nullptr, L"grid_info", kGrid},
};

bool IsInside(const Control* control, std::wstring_view ancestorName) {
  for (const Control* c = control; c; c = c->Parent())
    if (EqualsIgnoreCase(c->Name(), ancestorName)) return true;
  return false;
}

TEST_F(SkinLayoutsTest, ControlsTheProgramLooksUpExistWithTheirKind) {
  std::map<std::wstring, std::unique_ptr<Window>> windows;
  for (const NamedControl& want : kNamed) {
    auto& window = windows[want.file];
    if (!window) window = Build(want.file);
    SCOPED_TRACE(WideToUtf8(std::wstring(want.file) + L" " + want.name));
    Control* control = window->FindControl(want.name);
    ASSERT_NE(control, nullptr);
    // Label and Text differ only in name.
    ControlKind kind = control->Kind() == ControlKind::kText ? ControlKind::kLabel : control->Kind();
    EXPECT_EQ(std::wstring(KindTag(kind)), std::wstring(KindTag(want.kind)));
    if (want.page) {
      EXPECT_TRUE(IsInside(control, want.page)) << "not on " << WideToUtf8(want.page);
    }
  }
  auto frame = Build(L"MainFrame.xml");
  Control* log = frame->FindControl(L"text_setup_msg");
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->ClassName(), L"CMsgWnd2UI");
  EXPECT_TRUE(IsInside(log, L"form_setup_end"));
}

// What the program expects to find before it changes anything.
struct InitialState {
  const wchar_t* file;
  const wchar_t* name;
  bool visible;
  std::optional<bool> selected;  // options and check boxes
};

const InitialState kInitialStates[] = {
    {L"MainFrame.xml", L"debug_form_delete_printer", false, std::nullopt},
    {L"MainFrame.xml", L"debug_form_delete_driver", false, std::nullopt},
    {L"MainFrame.xml", L"chk_list_all_printers", true, false},
    {L"MainFrame.xml", L"chk_list_all_drivers", true, false},
    {L"MainFrame.xml", L"btn_delete_printer_next", true, std::nullopt},
    {L"DlgDeviceInfo.xml", L"chk_device_present", true, true},
    {L"DlgDeviceInfo.xml", L"chk_device_children", true, true},
    {L"DlgDeviceInfo.xml", L"opt_device_setupapi_class", true, false},
    {L"DlgDeviceInfo.xml", L"opt_device_setupapi_interface", true, false},
    {L"DlgDeviceInfo.xml", L"opt_device_cfgmgr32_class", true, true},
    {L"DlgDeviceInfo.xml", L"opt_device_cfgmgr32_interface", true, false},
    {L"DlgDeviceInfo3.xml", L"windowmode_1", true, true},
    {L"DlgDeviceInfo3.xml", L"windowmode_2", true, false},
    {L"DlgDeviceInfo3.xml", L"windowrestorebtn", false, std::nullopt},
};

TEST_F(SkinLayoutsTest, ControlsStartInTheStateTheProgramExpects) {
  for (const InitialState& want : kInitialStates) {
    SCOPED_TRACE(WideToUtf8(std::wstring(want.file) + L" " + want.name));
    auto window = Build(want.file);
    Control* control = window->FindControl(want.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->IsVisible(), want.visible);
    if (want.selected) {
      auto* option = dynamic_cast<Option*>(control);
      ASSERT_NE(option, nullptr);
      EXPECT_EQ(option->IsSelected(), *want.selected);
    }
  }
  // The device window's four views form one group, so one is chosen at a time.
  auto devices = Build(L"DlgDeviceInfo.xml");
  for (const wchar_t* name : {L"opt_device_setupapi_class", L"opt_device_setupapi_interface",
                              L"opt_device_cfgmgr32_class", L"opt_device_cfgmgr32_interface"})
    EXPECT_EQ(devices->Find<Option>(name)->Group(), L"group_device") << WideToUtf8(name);
}

TEST_F(SkinLayoutsTest, AnimationsRunAtTwoHundredMillisecondsPerFrame) {
  const std::pair<const wchar_t*, const wchar_t*> pictures[] = {
      {L"DlgLoading.xml", L"pic_loading"},
      {L"MainFrame.xml", L"pic_form_printer_search_loading"},
      {L"MainFrame.xml", L"pic_form_printer_udp_loading"},
      {L"MainFrame.xml", L"pic_loading_search_bluetooth"},
  };
  for (const auto& [file, name] : pictures) {
    auto window = Build(file);
    auto* picture = window->Find<Picture>(name);
    ASSERT_NE(picture, nullptr) << WideToUtf8(name);
    EXPECT_EQ(picture->FrameDelay(), 200u) << WideToUtf8(name);
  }
  auto loading = Build(L"DlgLoading.xml");
  EXPECT_EQ(loading->FindControl(L"windowclosebtn"), nullptr) << "the user cannot close the busy dialog";
}

// Columns of the program's lists as the English pack shows them; "" for a
// narrow unnamed first column, "[x]" for a check-box column.
struct GridColumns {
  const wchar_t* file;
  const wchar_t* grid;
  std::vector<std::wstring> english;
};

const GridColumns kGridColumns[] = {
    {L"MainFrame.xml", L"grid_delete_printer", {L"[x]", L"Printer"}},
    {L"MainFrame.xml", L"grid_delete_driver", {L"[x]", L"Printer Driver"}},
    {L"MainFrame.xml", L"grid_update_printer_mode", {L"[x]", L"Printer"}},
    {L"MainFrame.xml", L"grid_printer_bluetooth", {L"[x]", L"Bluetooth Name", L"MAC"}},
    {L"MainFrame.xml",
     L"grid_printer_udp",
     {L"[x]", L"名称", L"型号", L"IP", L"子网掩码", L"网关", L"MAC", L"[x]", L"固件版本"}},
    {L"DlgPaperList.xml",
     L"grid_papers",
     {L"", L"dmPaperSize", L"dmPaperWidth(0.1mm)", L"dmPaperLength(0.1mm)", L"FormName", L"Flags",
      L"FormSize.cx(um)", L"FormSize.cy(um)", L"ImageableArea(um)", L"Margin(um)"}},
    {L"DlgDeviceInfo3.xml", L"grid_info", {L"", L"Parameter", L"value"}},
    {L"DlgDevMode.xml", L"grid_dev_mode", {L"", L"Field", L"Value"}},
    {L"DlgPrinterInfo.xml", L"grid_info", {L"", L"Field", L"Value"}},
    {L"DlgDriverInfo.xml", L"grid_info", {L"", L"Field", L"Value"}},
    {L"DlgPortMonitorList.xml", L"grid_port_monitor_list", {L"", L"Port monitor"}},
};

TEST_F(SkinLayoutsTest, ListsHaveTheirColumnsInEnglish) {
  for (const GridColumns& want : kGridColumns) {
    SCOPED_TRACE(WideToUtf8(want.grid));
    auto window = Build(want.file);
    auto* grid = window->Find<Grid>(want.grid);
    ASSERT_NE(grid, nullptr);
    std::vector<std::wstring> shown;
    for (size_t c = 0; c < grid->ColumnCount(); ++c) {
      const GridColumn* column = grid->Column(static_cast<int>(c));
      shown.push_back(column->checkBox ? L"[x]" : column->text);
    }
    EXPECT_EQ(shown, want.english);
  }
}

TEST_F(SkinLayoutsTest, LanguageDialogOffersEveryPackLanguageByItsOwnName) {
  // Every language start-up can choose, and the one only the dialog offers.
  std::set<std::wstring> expected = {L"ChineseTraditional"};
  for (uint16_t primary = 0; primary < 0x400; ++primary) expected.insert(LanguageNameForUiLanguage(primary));
  ASSERT_EQ(expected.size(), 26u);

  auto dialog = Build(L"DlgSoftLanguage.xml", L"ChineseSimplified");
  std::vector<Option*> options;
  ForEachControl(*dialog->Root(), [&](Control& control) {
    if (control.Name().rfind(L"menu_lang_", 0) == 0) options.push_back(dynamic_cast<Option*>(&control));
  });
  std::set<std::wstring> offered;
  std::map<std::wstring, std::wstring> nativeNames;
  for (Option* option : options) {
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->Name(), L"menu_lang_" + option->UserData());
    EXPECT_EQ(option->Group(), options.front()->Group());
    EXPECT_FALSE(option->Group().empty());
    EXPECT_FALSE(option->IsSelected()) << "the dialog selects the current language itself";
    offered.insert(option->UserData());
    nativeNames[option->UserData()] = option->Text();
  }
  EXPECT_EQ(options.size(), 26u);
  EXPECT_EQ(offered, expected);
  EXPECT_EQ(nativeNames[L"German"], L"Deutsch");
  EXPECT_EQ(nativeNames[L"Japanese"], L"日本語");
  EXPECT_EQ(nativeNames[L"ChineseSimplified"], L"简体中文");

  // A language's own name stays the same whatever language is current.
  auto english = Build(L"DlgSoftLanguage.xml", L"English");
  for (const auto& [language, native] : nativeNames)
    EXPECT_EQ(english->FindControl(L"menu_lang_" + language)->Text(), native) << WideToUtf8(language);

  // The language menu offers the same languages under the same names.
  MenuLoadResult menu = LoadMenuLayout(L"MenuLanguage.xml");
  ASSERT_TRUE(menu.menu.has_value());
  EXPECT_TRUE(menu.problems.empty());
  std::map<std::wstring, std::wstring> menuNames;
  menu.menu->ForEach([&](MenuItem& item) {
    EXPECT_EQ(item.name, L"menu_lang_" + item.userData);
    menuNames[item.userData] = item.text;
  });
  EXPECT_EQ(menuNames, nativeNames);
}

// Checks the language entries of one layout file against the controls
// written in it: every text has an entry in both packs, the Chinese pack
// repeats the layout, and no entry points at nothing.
class PackEntries {
 public:
  PackEntries(const std::wstring& file, const LanguageManager& english, const LanguageManager& chinese)
      : file_(file), english_(english.LayoutTexts(file)), chinese_(chinese.LayoutTexts(file)) {}

  void Check(const std::wstring& what, const std::wstring& text, const std::wstring& tooltip, std::optional<int> id) {
    SCOPED_TRACE(WideToUtf8(file_ + L" " + what));
    if (!id) {
      if (!text.empty()) {
        EXPECT_TRUE(IsUntranslated(file_, text)) << "text without a resourceid";
      }
      EXPECT_TRUE(tooltip.empty()) << "tooltip without a resourceid";
      return;
    }
    EXPECT_TRUE(used_.insert(*id).second) << "resourceid " << *id << " used twice";
    EXPECT_FALSE(text.empty() && tooltip.empty()) << "resourceid " << *id << " on a control without text";
    for (const auto* pack : {&english_, &chinese_}) {
      auto entry = pack->find(*id);
      ASSERT_NE(entry, pack->end()) << "no entry " << *id << (pack == &english_ ? " in English" : " in Chinese");
      // A text where the layout has one, nothing (or an empty one) where it has none.
      EXPECT_EQ(!entry->second.text.value_or(L"").empty(), !text.empty()) << "entry " << *id;
      EXPECT_EQ(!entry->second.tooltip.value_or(L"").empty(), !tooltip.empty()) << "entry " << *id;
    }
    auto chinese = chinese_.find(*id);
    if (chinese != chinese_.end()) {
      EXPECT_EQ(chinese->second.text.value_or(L""), text) << "entry " << *id;
      EXPECT_EQ(chinese->second.tooltip.value_or(L""), tooltip) << "entry " << *id;
    }
  }

  void CheckNoStrayEntries() {
    SCOPED_TRACE(WideToUtf8(file_));
    for (const auto* pack : {&english_, &chinese_})
      for (const auto& [id, entry] : *pack) EXPECT_TRUE(used_.count(id)) << "entry " << id << " matches no control";
  }

 private:
  std::wstring file_;
  LayoutTextMap english_;
  LayoutTextMap chinese_;
  std::set<int> used_;
};

TEST_F(SkinLayoutsTest, EveryTextHasItsEntryInBothPacks) {
  for (const std::wstring& file : WindowLayouts()) {
    auto window = Build(file);
    std::map<std::wstring, PackEntries> byFile;
    for (const std::wstring& layout : window->LayoutFiles()) byFile.try_emplace(layout, layout, english_, chinese_);
    ForEachControl(*window->Root(), [&](Control& control) {
      auto found = byFile.find(FileOf(*window, control));
      if (found == byFile.end()) return;
      found->second.Check(Describe(control), control.LayoutText(), control.LayoutTooltip(), control.ResourceId());
      if (auto* grid = dynamic_cast<Grid*>(&control)) {
        for (size_t c = 0; c < grid->ColumnCount(); ++c) {
          const GridColumn* column = grid->Column(static_cast<int>(c));
          found->second.Check(control.Name() + L" column " + std::to_wstring(c), column->layoutText, L"",
                              column->resourceId);
        }
      }
    });
    for (auto& [layout, entries] : byFile) entries.CheckNoStrayEntries();
  }
  for (const std::wstring& file : TopLevelLayouts(L"Menu")) {
    MenuLoadResult menu = LoadMenuLayout(file);
    ASSERT_TRUE(menu.menu.has_value()) << WideToUtf8(file);
    for (const std::wstring& problem : menu.problems) ADD_FAILURE() << WideToUtf8(problem);
    PackEntries entries(file, english_, chinese_);
    menu.menu->ForEach([&](MenuItem& item) {
      if (!item.separator) entries.Check(item.name, item.layoutText, L"", item.resourceId);
    });
    entries.CheckNoStrayEntries();
  }
}

bool Contains(const Rect& outer, const Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool AllVisible(const Control& control) {
  for (const Control* c = &control; c; c = c->Parent())
    if (!c->IsVisible()) return false;
  return true;
}

// The paper list has more columns than any window is wide and scrolls
// sideways; every other list shows all its columns at once.
void CheckColumns(const Window& window, const Grid& grid) {
  FontDef font = FontOf(window, grid);
  int total = 0;
  for (size_t c = 0; c < grid.ColumnCount(); ++c) {
    const GridColumn* column = grid.Column(static_cast<int>(c));
    total += column->width;
    EXPECT_LE(EstimatedWidth(column->text, font), column->width) << "column " << c << " too narrow for its header";
  }
  if (grid.Name() != L"grid_papers") {
    EXPECT_LE(total, grid.Pos().Width()) << "columns wider than the list";
  }
}

// Lays the window out with its debug rows shown and checks every control:
// inside its parent and the window, not squeezed to nothing, its text
// within its rectangle (wrapped lines where it wraps).
void CheckGeometry(Window& window, const std::string& language) {
  for (const wchar_t* debugRow : {L"debug_form_delete_printer", L"debug_form_delete_driver"})
    if (Control* row = window.FindControl(debugRow)) row->SetVisible(true);
  Size size = window.Attributes().size;
  window.Arrange(size);
  Rect client{0, 0, size.width, size.height};
  ForEachControl(*window.Root(), [&](Control& control) {
    if (!AllVisible(control)) return;
    SCOPED_TRACE(language + ": " + Where(window, control));
    const Rect& rect = control.Pos();
    EXPECT_TRUE(Contains(client, rect)) << "outside the window";
    if (control.Parent()) {
      EXPECT_TRUE(Contains(control.Parent()->Pos(), rect)) << "outside its parent";
    }
    bool spacer = control.IsContainer() && control.ChildCount() == 0;
    if (!spacer) {
      EXPECT_FALSE(rect.IsEmpty()) << "squeezed to nothing";
    }
    if (auto* grid = dynamic_cast<Grid*>(&control)) CheckColumns(window, *grid);
    if (control.Text().empty()) return;
    ControlKind kind = control.Kind();
    if (kind != ControlKind::kLabel && kind != ControlKind::kText && kind != ControlKind::kButton &&
        kind != ControlKind::kOption && kind != ControlKind::kCheckBox)
      return;
    FontDef font = FontOf(window, control);
    double needed = EstimatedWidth(control.Text(), font);
    if (kind == ControlKind::kOption || kind == ControlKind::kCheckBox) needed += 20;  // the box
    if (kind == ControlKind::kButton) needed += 8;                                       // the frame
    const std::wstring* wrap = control.Attribute(L"wordbreak");
    if (wrap && EqualsIgnoreCase(*wrap, L"true")) {
      // A tenth more for what wrapping at word ends wastes.
      int lines = static_cast<int>(std::ceil(needed * 1.1 / std::max(1, rect.Width())));
      EXPECT_LE(lines * (font.size * 4 / 3), rect.Height()) << lines << " lines";
    } else {
      EXPECT_LE(needed, rect.Width()) << "text wider than its control";
      EXPECT_LE(font.size, rect.Height()) << "text taller than its control";
    }
  });
}

TEST_F(SkinLayoutsTest, EveryWindowFitsItsControlsAndTextsInBothLanguages) {
  for (const std::wstring& file : WindowLayouts()) {
    for (const wchar_t* language : {L"English", L"ChineseSimplified"}) {
      auto window = Build(file, language);
      CheckGeometry(*window, WideToUtf8(language));
    }
  }
}

TEST_F(SkinLayoutsTest, PicturesTheLayoutsNameAreInThePackage) {
  std::set<std::wstring> images;
  for (int frame = 1; frame <= 8; ++frame) images.insert(L"images\\Loading\\" + std::to_wstring(frame) + L".png");
  for (const std::wstring& file : WindowLayouts()) {
    auto window = Build(file);
    ForEachControl(*window->Root(), [&](Control& control) {
      for (const wchar_t* attribute : {L"image", L"hotimage"})
        if (const std::wstring* image = control.Attribute(attribute)) images.insert(*image);
      if (auto* picture = dynamic_cast<Picture*>(&control))
        if (!picture->Image().empty()) images.insert(picture->Image());
    });
  }
  const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (const std::wstring& image : images) {
    auto bytes = ReadShipped(image);
    ASSERT_TRUE(bytes.has_value()) << WideToUtf8(image) << " is not in the package";
    ASSERT_GE(bytes->size(), sizeof png) << WideToUtf8(image);
    EXPECT_TRUE(std::equal(std::begin(png), std::end(png), bytes->begin())) << WideToUtf8(image) << " is no PNG";
  }
}

}  // namespace
}  // namespace orvello::ui
