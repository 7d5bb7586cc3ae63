#include "shell/main_frame.h"

#include "app/app.h"
#include "app/debug_mode.h"
#include "forms/form_main.h"
#include "lang/dlg_soft_language.h"
#include "log/my_log.h"
#include "shell/catalogue_version.h"
#include "shell/dlg_about.h"
#include "system/output_pipe.h"
#include "system/spooler_service.h"
#include "system/text.h"
#include "ui/form.h"
#include "ui/toolkit.h"

namespace orvello {

namespace {

// Controls of the pages that only debug mode shows.
constexpr const wchar_t* kDebugOnlyControls[] = {
    L"btn_form_main_device_manager1",
    L"debug_form_delete_driver",
    L"debug_form_delete_printer",
};
constexpr const wchar_t* kAlwaysHidden = L"btn_form_main_device_manager2";

}  // namespace

CMainFrame::CMainFrame(CApp& app, std::unique_ptr<WizardForms> forms) : app_(app), forms_(std::move(forms)) {
  if (!forms_) forms_ = std::make_unique<WizardForms>();
  for (ui::CUIForm* form : forms_->InOrder()) {
    if (form) RegisterForm(form);
  }
}

CMainFrame::~CMainFrame() {
  // The forms go before the window they are registered with.
  Destroy();
  for (ui::CUIForm* form : forms_->InOrder()) {
    if (form) UnregisterForm(form);
  }
  if (app_.mainFrame == this) app_.mainFrame = nullptr;
}

bool CMainFrame::SelectPage(std::wstring_view pageName) { return tabMain_ && tabMain_->SelectItem(pageName); }

void CMainFrame::InitWindow() {
  versionLabel_ = FindControl(L"mainframe_dudez_version");
  tabMain_ = Find<ui::TabLayout>(L"tab_main");
  debugMarker_ = FindControl(L"dudez_debug");
  if (versionLabel_) versionLabel_->SetText(CatalogueVersionText(app_.catalogue));
  RefreshDebugControls();
  CheckSpoolerService(app_.platform());
}

void CMainFrame::RefreshDebugControls() {
  bool debug = debugMode == 1;
  if (debugMarker_) debugMarker_->SetText(debug ? L"DEBUG" : L"");
  if (debug) app_.log().Open(kApplicationName);
  for (const wchar_t* name : kDebugOnlyControls) {
    if (ui::Control* control = FindControl(name)) control->SetVisible(debug);
  }
  if (ui::Control* control = FindControl(kAlwaysHidden)) control->SetVisible(false);
}

void CMainFrame::Notify(ui::Notification& notification) {
  if (notification.Is(L"windowinit")) {
    if (forms_->formMain) forms_->formMain->ShowMainForm();
    InstallOutputPipe(app_.platform().processes, app_.platform().codePages);
    return;
  }
  if (notification.Is(L"click")) OnTitleButton(notification);
}

void CMainFrame::OnTitleButton(const ui::Notification& notification) {
  if (notification.IsFrom(L"windowlangbtn")) {
    ShowLanguageDialog(this);
  } else if (notification.IsFrom(L"windowaboutbtn")) {
    ShowAboutDialog(app_, this);
  } else if (notification.IsFrom(L"windowcontrolpanebtn")) {
    app_.platform().session.ShellExecute(L"open", L"explorer.exe", kPrintersFolder);
  }
}

bool CMainFrame::HandleMessage(uint32_t message, ui::WParam wParam, ui::LParam) {
  if (message == ui::kWmClose) {
    RemoveOutputPipe();
  } else if (message == ui::kWmKeyDown && wParam == ui::kVkF9 && ui::IsKeyDown(ui::kVkControl)) {
    debugMode = debugMode == 1 ? 0 : 1;
    RefreshDebugControls();
  }
  // The toolkit and the forms still see every message.
  return false;
}

void CMainFrame::OnFinalMessage() {
  if (app_.mainFrame == this) app_.mainFrame = nullptr;
  CUIFrameWndBase::OnFinalMessage();
}

std::unique_ptr<CMainFrame> CreateMainFrameWindow(CApp& app, const std::wstring& title) {
  auto frame = std::make_unique<CMainFrame>(app, CreateWizardForms(app));
  app.mainFrame = frame.get();
  if (!frame->Create(CMainFrame::kLayout, CMainFrame::kClassName).created) {
    app.mainFrame = nullptr;
    return nullptr;
  }
  frame->SetTitle(title);
  frame->Show();
  return frame;
}

}  // namespace orvello
