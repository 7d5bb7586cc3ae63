#include "ui/frame_window.h"

#include "ui/toolkit.h"

namespace orvello::ui {

void CUIFrameWndBase::OnFinalMessage() { QuitMessageLoop(0); }

}  // namespace orvello::ui
