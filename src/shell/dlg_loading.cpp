#include "shell/dlg_loading.h"

#include "app/app.h"
#include "system/text.h"
#include "ui/picture.h"

namespace orvello {

namespace {
constexpr int kLoadingFrames = 8;
}

CDlgLoading::CDlgLoading(CApp& app, IEngineOperations& engine) : app_(app), engine_(engine) {}

void CDlgLoading::PostClose() {
  closeRequested_ = true;
  // A copy: the dialog may be gone as soon as the message is queued.
  ui::WindowHandle handle = handle_;
  handle.Post(ui::kWmClose, 0, 0);
}

void CDlgLoading::InitWindow() {
  handle_ = Handle();
  ui::Picture* picture = Find<ui::Picture>(L"pic_loading");
  if (!picture) return;
  picture->ResetFrames();
  for (int frame = 1; frame <= kLoadingFrames; ++frame) {
    picture->AddFrame(FormatText(L"images\\Loading\\%d.png", frame));
  }
}

void CDlgLoading::Notify(ui::Notification& notification) {
  if (notification.Is(L"windowinit")) {
    StartOperation(app_.platform(), app_, engine_, *this);
  }
}

bool CDlgLoading::HandleMessage(uint32_t message, ui::WParam, ui::LParam) {
  // The worker holds this dialog until it posts its close; a close by the
  // user before that would free it under the worker's feet.
  return message == ui::kWmClose && !closeRequested_;
}

int RunLoadingDialog(CApp& app, ui::Window* owner, IEngineOperations& engine) {
  CDlgLoading dialog(app, engine);
  dialog.SetSucceeded(0);
  if (!dialog.Create(CDlgLoading::kLayout, CDlgLoading::kClassName, owner).created) return 0;
  dialog.ShowModal();
  return dialog.succeeded();
}

}  // namespace orvello
