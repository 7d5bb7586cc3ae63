#pragma once
// The program's main window. Its final destruction ends the UI thread's
// message loop with exit code 0; a subclass that overrides OnFinalMessage
// calls this one.
#include "ui/window.h"

namespace orvello::ui {

class CUIFrameWndBase : public Window {
 protected:
  void OnFinalMessage() override;
};

}  // namespace orvello::ui
