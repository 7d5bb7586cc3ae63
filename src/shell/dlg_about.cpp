#include "shell/dlg_about.h"

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "lang/language.h"
#include "shell/catalogue_version.h"
#include "system/text.h"

namespace orvello {

namespace {

// The Chinese text for a Chinese UI; otherwise the English one, or the
// Chinese one when there is no English text.
const std::wstring& ForLanguage(const std::wstring& chinese, const std::wstring& english) {
  if (CurrentLanguageName() == L"ChineseSimplified") return chinese;
  return english.empty() ? chinese : english;
}

}  // namespace

void CDlgAbout::InitWindow() {
  ManufacturerProfile header;
  LoadCatalogueHeader(app_.catalogue.doc, header);
  auto setIfAny = [this](const wchar_t* name, const std::wstring& text) {
    if (text.empty()) return;
    if (ui::Control* control = FindControl(name)) control->SetText(text);
  };
  auto setOrHide = [this](const wchar_t* name, const std::wstring& text) {
    ui::Control* control = FindControl(name);
    if (!control) return;
    if (text.empty()) {
      control->SetVisible(false);
    } else {
      control->SetText(text);
    }
  };
  setIfAny(L"dudez_product", ForLanguage(header.productName, header.productEnName));
  setIfAny(L"dudez_company", ForLanguage(header.companyName, header.companyEnName));
  setIfAny(L"dudez_website", header.webSite);
  setIfAny(L"dudez_tel", header.tel);
  setIfAny(L"dudez_email", header.email);
  setOrHide(L"dudez_version", CatalogueVersionText(app_.catalogue));
  // The header leaves the creation time out; it is the root's own attribute.
  setOrHide(L"dudez_create_time", Utf8ToWide(app_.catalogue.doc.child("Drivers").attribute("time").value()));
}

void ShowAboutDialog(CApp& app, ui::Window* owner) {
  CDlgAbout dialog(app);
  if (dialog.Create(CDlgAbout::kLayout, CDlgAbout::kClassName, owner).created) dialog.ShowModal();
}

}  // namespace orvello
