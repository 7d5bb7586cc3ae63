#pragma once
// The about dialog: what the package is and its version, from the
// catalogue's own header (not the manufacturer chosen in the wizard).
#include "ui/window.h"

namespace orvello {

class CApp;

class CDlgAbout : public ui::Window {
 public:
  static constexpr const wchar_t* kClassName = L"DlgAbout";
  static constexpr const wchar_t* kLayout = L"DlgAbout.xml";

  explicit CDlgAbout(CApp& app) : app_(app) {}

 protected:
  void InitWindow() override;

 private:
  CApp& app_;
};

// Shows the about dialog modally over `owner`.
void ShowAboutDialog(CApp& app, ui::Window* owner);

}  // namespace orvello
