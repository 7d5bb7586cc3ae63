#pragma once
// The controls of one window: lookup by name (ignoring letter case; the
// first control in tree order wins when names repeat), option groups, and
// the door through which controls report changes and send notifications.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/messages.h"

namespace orvello::ui {

class Option;
class Window;

class PaintManager {
 public:
  explicit PaintManager(Window& window) : window_(window) {}
  PaintManager(const PaintManager&) = delete;
  PaintManager& operator=(const PaintManager&) = delete;

  Window& OwnerWindow() const { return window_; }
  Control* Root() const { return root_; }

  Control* FindControl(std::wstring_view name) const;
  template <typename T>
  T* Find(std::wstring_view name) const {
    return dynamic_cast<T*>(FindControl(name));
  }
  // The first control named `name` inside `parent` (parent included).
  Control* FindSubControl(Control* parent, std::wstring_view name) const;
  // The options of a group (ignoring letter case), in tree order.
  std::vector<Option*> OptionGroup(std::wstring_view group) const;
  // Every control, depth first, parents before children.
  void ForEachControl(const std::function<void(Control&)>& visit) const;

  void SendNotify(Control* sender, std::wstring_view type, WParam wParam = 0, LParam lParam = 0);
  void ControlChanged(Control& control, Change what, int item);
  void RequestLayout();

 private:
  friend class Window;
  friend class Control;
  friend class Container;

  void SetRoot(Control* root);
  void Attach(Control& subtree);
  void Detach(Control& subtree);
  void Index(Control& control);
  void Unindex(Control& control);

  Window& window_;
  Control* root_ = nullptr;
  std::map<std::wstring, std::vector<Control*>, std::less<>> names_;
};

}  // namespace orvello::ui
