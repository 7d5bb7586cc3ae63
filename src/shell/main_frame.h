#pragma once
// The program's only top-level window: the title bar with its buttons, the
// page container `tab_main`, and the 21 wizard forms, which receive every
// notification and window message of the window.
#include <memory>
#include <string>
#include <string_view>

#include "forms/wizard_forms.h"
#include "ui/containers.h"
#include "ui/frame_window.h"

namespace orvello {

class CApp;

class CMainFrame : public ui::CUIFrameWndBase {
 public:
  static constexpr const wchar_t* kClassName = L"MainFrame";
  static constexpr const wchar_t* kLayout = L"MainFrame.xml";
  static constexpr const wchar_t* kPrintersFolder = L"shell:::{A8A91A66-3A7D-4424-8D24-04E180695C7A}";

  // Creates no window yet; registers the forms in their order. `forms` may
  // hold fewer forms (tests); a missing main form shows no main page.
  CMainFrame(CApp& app, std::unique_ptr<WizardForms> forms);
  ~CMainFrame() override;

  CApp& app() { return app_; }
  WizardForms& forms() { return *forms_; }
  ui::TabLayout* TabMain() const { return tabMain_; }
  // Selects a page of `tab_main` by name, ignoring letter case; an unknown
  // name keeps the current page.
  bool SelectPage(std::wstring_view pageName);
  // Shows "DEBUG" and the debug-only controls as the debug mode says, and
  // opens the log once in debug mode.
  void RefreshDebugControls();

 protected:
  void InitWindow() override;
  void Notify(ui::Notification& notification) override;
  bool HandleMessage(uint32_t message, ui::WParam wParam, ui::LParam lParam) override;
  void OnFinalMessage() override;

 private:
  void OnTitleButton(const ui::Notification& notification);

  CApp& app_;
  std::unique_ptr<WizardForms> forms_;
  ui::Control* versionLabel_ = nullptr;
  ui::TabLayout* tabMain_ = nullptr;
  ui::Control* debugMarker_ = nullptr;
};

// Builds the main window from its layout, shows it and makes it the
// application's `mainFrame`. Null when the window cannot be created.
std::unique_ptr<CMainFrame> CreateMainFrameWindow(CApp& app, const std::wstring& title);

}  // namespace orvello
