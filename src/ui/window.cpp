#include "ui/window.h"

#include <algorithm>

#include "system/text.h"
#include "ui/backend.h"
#include "ui/box_layout.h"
#include "ui/form.h"
#include "ui/layout_texts.h"
#include "ui/skin.h"
#include "ui/toolkit.h"

namespace orvello::ui {

namespace {

// Windows clamps shorter timer periods to USER_TIMER_MINIMUM.
constexpr uint32_t kMinimumTimerPeriod = 10;

std::vector<std::unique_ptr<Window>>& KeptWindows() {
  static std::vector<std::unique_ptr<Window>> windows;
  return windows;
}

}  // namespace

bool WindowHandle::Post(uint32_t message, WParam wParam, LParam lParam) const {
  if (!IsAlive()) return false;
  PostToUi([token = token_, message, wParam, lParam] {
    if (token->alive && token->window) token->window->RouteMessage(message, wParam, lParam);
  });
  return true;
}

bool WindowHandle::Send(uint32_t message, WParam wParam, LParam lParam) const {
  if (!IsAlive()) return false;
  bool handled = false;
  std::shared_ptr<detail::WindowToken> token = token_;
  bool ran = RunOnUiAndWait([&handled, token, message, wParam, lParam] {
    if (token->alive && token->window) handled = token->window->RouteMessage(message, wParam, lParam);
  });
  return ran && handled;
}

Window* WindowHandle::Get() const { return IsAlive() ? token_->window : nullptr; }

Window::Window() : token_(std::make_shared<detail::WindowToken>()) { token_->window = this; }

Window::~Window() {
  Destroy();
  for (CUIFrmBase* form : forms_) {
    form->frame_ = nullptr;
    form->manager_ = nullptr;
    form->root_ = nullptr;
  }
  forms_.clear();
  manager_.SetRoot(nullptr);
  token_->window = nullptr;
}

LoadResult Window::Create(std::wstring layoutFile, std::wstring className, Window* owner) {
  LoadResult result;
  if (created_) {
    result.problems.push_back(L"the window already exists");
    return result;
  }
  IBackend* backend = CurrentBackend();
  if (!backend) {
    result.problems.push_back(L"no UI backend is installed");
    return result;
  }
  LoadedLayout layout = LoadLayout(layoutFile);
  result.problems = std::move(layout.problems);
  if (!layout.root) return result;

  manager_.SetRoot(nullptr);
  timers_.clear();
  root_ = std::move(layout.root);
  layoutFiles_ = std::move(layout.files);
  attributes_ = std::move(layout.window);
  fonts_ = std::move(layout.fonts);
  layoutFile_ = std::move(layoutFile);
  className_ = std::move(className);
  owner_ = owner;
  title_ = attributes_.title;
  clientSize_ = attributes_.size;
  state_ = WindowState::kNormal;
  result_ = 0;
  modalChildren_ = 0;
  initQueued_ = false;
  manager_.SetRoot(root_.get());
  ApplyLayoutTexts(*this);

  backend_ = backend;
  created_ = true;
  token_->alive = true;
  if (!backend->CreateNativeWindow(*this)) {
    created_ = false;
    token_->alive = false;
    result.problems.push_back(L"the native window could not be created");
    return result;
  }
  nativeCreated_ = true;
  // Timers set while the controls joined (animations) start now.
  for (const TimerRecord& timer : timers_) backend_->StartTimer(*this, timer.key, timer.interval);
  Arrange(clientSize_);

  std::vector<CUIFrmBase*> forms = forms_;
  for (CUIFrmBase* form : forms)
    if (IsRegistered(form)) InitializeForm(form);
  InitWindow();
  result.created = created_;
  return result;
}

void Window::Destroy() {
  if (!created_) return;
  menu_.reset();
  if (nativeCreated_)
    for (const TimerRecord& timer : timers_) backend_->StopTimer(*this, timer.key);
  timers_.clear();
  created_ = false;
  token_->alive = false;
  shown_ = false;
  if (nativeCreated_) {
    nativeCreated_ = false;
    backend_->DestroyNativeWindow(*this);
  }
  OnFinalMessage();
  auto& kept = KeptWindows();
  if (std::any_of(kept.begin(), kept.end(), [&](const auto& window) { return window.get() == this; }))
    PostToUi([] { ReleaseDestroyedWindows(); });
}

void Window::Show(bool show) {
  if (!created_ || shown_ == show) return;
  shown_ = show;
  WindowChanged();
  if (show && !initQueued_) {
    initQueued_ = true;
    PostToUi([handle = Handle()] {
      if (Window* window = handle.Get()) window->SendNotify(window->Root(), notify::kWindowInit);
    });
  }
}

int Window::ShowModal() {
  if (!created_) return -1;
  // The owner may be destroyed while this loop runs; its handle tells.
  WindowHandle owner = owner_ ? owner_->Handle() : WindowHandle();
  if (Window* o = owner.Get()) ++o->modalChildren_;
  modal_ = true;
  Show(true);
  backend_->RunModalLoop(*this);
  modal_ = false;
  if (Window* o = owner.Get()) --o->modalChildren_;
  return result_;
}

void Window::Close(int result) { Post(kWmClose, static_cast<WParam>(result), 0); }

void Window::Minimize() {
  if (state_ == WindowState::kMinimized) return;
  state_ = WindowState::kMinimized;
  WindowChanged();
}

void Window::Maximize() {
  if (state_ == WindowState::kMaximized) return;
  state_ = WindowState::kMaximized;
  WindowChanged();
}

void Window::Restore() {
  if (state_ == WindowState::kNormal) return;
  state_ = WindowState::kNormal;
  WindowChanged();
}

void Window::SetTitle(std::wstring title) {
  if (title == title_) return;
  title_ = std::move(title);
  WindowChanged();
}

void Window::WindowChanged() {
  if (nativeCreated_) backend_->WindowChanged(*this);
}

void Window::RegisterForm(CUIFrmBase* form) {
  if (!form || IsRegistered(form)) return;
  if (form->frame_ && form->frame_ != this) form->frame_->UnregisterForm(form);
  forms_.push_back(form);
  form->frame_ = this;
  form->manager_ = &manager_;
  if (created_) InitializeForm(form);
}

void Window::UnregisterForm(CUIFrmBase* form) {
  if (!IsRegistered(form)) return;
  std::erase(forms_, form);
  form->frame_ = nullptr;
  form->manager_ = nullptr;
  form->root_ = nullptr;
}

bool Window::IsRegistered(const CUIFrmBase* form) const {
  return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}

void Window::InitializeForm(CUIFrmBase* form) {
  std::wstring rootName = form->RootControlName();
  form->root_ = rootName.empty() ? nullptr : manager_.FindControl(rootName);
  form->InitForm();
}

void Window::SendNotify(Control* sender, std::wstring_view type, WParam wParam, LParam lParam) {
  Notification notification{std::wstring(type), sender, wParam, lParam};
  DispatchNotify(notification);
}

void Window::DispatchNotify(Notification& notification) {
  if (!created_) return;
  if (notification.Is(notify::kClick)) CarryOutCaptionButton(notification);
  // A handler may register or unregister forms; those that left are skipped.
  std::vector<CUIFrmBase*> forms = forms_;
  for (CUIFrmBase* form : forms)
    if (IsRegistered(form)) form->Notify(notification);
  Notify(notification);
}

void Window::CarryOutCaptionButton(const Notification& notification) {
  if (notification.IsFrom(L"windowclosebtn") || notification.IsFrom(L"btn_cancel"))
    Close(kResultCancel);
  else if (notification.IsFrom(L"windowminbtn"))
    Minimize();
  else if (notification.IsFrom(L"windowmaxbtn"))
    Maximize();
  else if (notification.IsFrom(L"windowrestorebtn"))
    Restore();
}

bool Window::RouteMessage(uint32_t message, WParam wParam, LParam lParam) {
  if (!created_) return false;
  if (HandleMessage(message, wParam, lParam)) return true;
  std::vector<CUIFrmBase*> forms = forms_;
  for (CUIFrmBase* form : forms)
    if (IsRegistered(form) && form->HandleMessage(message, wParam, lParam)) return true;
  if (message == kWmClose) {
    result_ = static_cast<int>(wParam);
    Destroy();
    return true;
  }
  return false;
}

bool Window::SetTimer(Control* control, uint32_t id, uint32_t intervalMs) {
  return StartTimer(control, id, intervalMs, false);
}

bool Window::KillTimer(Control* control, uint32_t id) { return StopTimer(control, id, false); }

void Window::KillTimers(Control* control) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->control == control) {
      if (nativeCreated_) backend_->StopTimer(*this, it->key);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

bool Window::HasTimer(const Control* control, uint32_t id) const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [&](const TimerRecord& t) { return t.control == control && t.id == id && !t.toolkit; });
}

bool Window::StartTimer(Control* control, uint32_t id, uint32_t intervalMs, bool toolkit) {
  if (!control || control->Manager() != &manager_) return false;
  intervalMs = std::max(intervalMs, kMinimumTimerPeriod);
  for (TimerRecord& timer : timers_) {
    if (timer.control == control && timer.id == id && timer.toolkit == toolkit) {
      timer.interval = intervalMs;
      if (nativeCreated_) backend_->StartTimer(*this, timer.key, intervalMs);
      return true;
    }
  }
  TimerRecord timer{control, id, toolkit, nextTimerKey_++, intervalMs};
  timers_.push_back(timer);
  if (nativeCreated_) backend_->StartTimer(*this, timer.key, intervalMs);
  return true;
}

bool Window::StopTimer(Control* control, uint32_t id, bool toolkit) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->control == control && it->id == id && it->toolkit == toolkit) {
      if (nativeCreated_) backend_->StopTimer(*this, it->key);
      timers_.erase(it);
      return true;
    }
  }
  return false;
}

void Window::OnTimerElapsed(uint32_t key) {
  if (!created_) return;
  auto found = std::find_if(timers_.begin(), timers_.end(), [&](const TimerRecord& t) { return t.key == key; });
  if (found == timers_.end()) return;
  TimerRecord timer = *found;
  if (timer.toolkit)
    timer.control->OnToolkitTimer(timer.id);
  else
    SendNotify(timer.control, notify::kTimer, timer.id, 0);
}

LoadResult Window::TrackMenu(std::wstring layoutFile, Point at) {
  LoadResult result;
  if (!created_) {
    result.problems.push_back(L"the window does not exist");
    return result;
  }
  MenuLoadResult loaded = LoadMenuLayout(layoutFile);
  result.problems = std::move(loaded.problems);
  if (!loaded.menu) return result;
  menu_ = std::make_unique<Menu>(std::move(*loaded.menu));
  ApplyMenuTexts(*menu_, SkinLanguage());
  std::vector<CUIFrmBase*> forms = forms_;
  menu_->ForEach([&](MenuItem& item) {
    if (item.separator) return;
    for (CUIFrmBase* form : forms)
      if (IsRegistered(form)) form->OnMenuUpdate(item);
    OnMenuUpdate(item);
  });
  backend_->ShowMenu(*this, *menu_, at);
  result.created = true;
  return result;
}

bool Window::ChooseMenuItem(std::wstring_view itemName) {
  if (!menu_) return false;
  MenuItem* item = menu_->Find(itemName);
  if (!item || !item->enabled || !item->visible || !item->children.empty()) return false;
  MenuItem chosen = *item;
  menu_.reset();
  std::vector<CUIFrmBase*> forms = forms_;
  for (CUIFrmBase* form : forms)
    if (IsRegistered(form)) form->OnMenuCommand(chosen);
  OnMenuCommand(chosen);
  return true;
}

void Window::DismissMenu() { menu_.reset(); }

void Window::Arrange(Size clientSize) {
  clientSize_ = clientSize;
  layoutPending_ = false;
  if (root_) ArrangeControl(*root_, Rect{0, 0, clientSize.width, clientSize.height});
}

void Window::ControlChanged(Control& control, Change what, int item) {
  if (nativeCreated_) backend_->ControlChanged(*this, control, what, item);
}

void Window::RequestLayout() {
  if (!nativeCreated_ || layoutPending_) return;
  layoutPending_ = true;
  backend_->LayoutRequested(*this);
}

void KeepUntilDestroyed(std::unique_ptr<Window> window) {
  if (!window || !window->IsCreated()) return;
  KeptWindows().push_back(std::move(window));
}

size_t ReleaseDestroyedWindows() {
  auto& kept = KeptWindows();
  // Moved out first: a window's destructor must not run while the list is
  // being edited.
  std::vector<std::unique_ptr<Window>> released;
  for (auto it = kept.begin(); it != kept.end();) {
    if (!(*it)->IsCreated()) {
      released.push_back(std::move(*it));
      it = kept.erase(it);
    } else {
      ++it;
    }
  }
  released.clear();
  return kept.size();
}

}  // namespace orvello::ui
