#pragma once
// Which control a layout tag stands for. The built-in kinds answer to their
// tags ("Button", "GifAnim" is a Picture); the program adds its own classes
// by class name ("CMsgWnd2UI", "CTreeShellUI", "CTreeDeviceUI"). A tag T
// that is no built-in kind finds the class "C" + T + "UI", then T itself,
// both ignoring letter case: the tag MsgWnd2 makes a CMsgWnd2UI.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ui/control.h"

namespace orvello::ui {

using ControlCreator = std::function<std::unique_ptr<Control>()>;

// A later registration of the same name replaces the earlier one.
void RegisterControlClass(std::wstring className, ControlCreator creator);
void UnregisterControlClass(std::wstring_view className);

// Null for a tag that names no kind and no registered class.
std::unique_ptr<Control> CreateControl(std::wstring_view tag);

}  // namespace orvello::ui
