#include "ui/control_factory.h"

#include <mutex>
#include <vector>

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/combo.h"
#include "ui/containers.h"
#include "ui/grid.h"
#include "ui/picture.h"
#include "ui/rich_edit.h"
#include "ui/tree.h"

namespace orvello::ui {

namespace {

struct Registry {
  std::mutex mutex;
  std::vector<std::pair<std::wstring, ControlCreator>> classes;
};

Registry& Classes() {
  static Registry registry;
  return registry;
}

std::unique_ptr<Control> CreateBuiltIn(std::wstring_view tag) {
  auto is = [&](std::wstring_view name) { return EqualsIgnoreCase(tag, name); };
  if (is(L"Container")) return std::make_unique<Container>();
  if (is(L"VerticalLayout")) return std::make_unique<VerticalLayout>();
  if (is(L"HorizontalLayout")) return std::make_unique<HorizontalLayout>();
  if (is(L"TabLayout")) return std::make_unique<TabLayout>();
  if (is(L"ChildLayout")) return std::make_unique<ChildLayout>();
  if (is(L"Label")) return std::make_unique<Label>(ControlKind::kLabel);
  if (is(L"Text")) return std::make_unique<Label>(ControlKind::kText);
  if (is(L"Button")) return std::make_unique<Button>();
  if (is(L"Option")) return std::make_unique<Option>();
  if (is(L"CheckBox")) return std::make_unique<CheckBox>();
  if (is(L"Edit")) return std::make_unique<Edit>();
  if (is(L"Progress")) return std::make_unique<Progress>();
  if (is(L"Picture") || is(L"GifAnim")) return std::make_unique<Picture>();
  if (is(L"Combo")) return std::make_unique<Combo>();
  if (is(L"Grid")) return std::make_unique<Grid>();
  if (is(L"RichEdit")) return std::make_unique<RichEdit>();
  if (is(L"Tree")) return std::make_unique<Tree>();
  return nullptr;
}

ControlCreator FindClass(std::wstring_view name) {
  Registry& registry = Classes();
  std::lock_guard lock(registry.mutex);
  for (const auto& [className, creator] : registry.classes)
    if (EqualsIgnoreCase(className, name)) return creator;
  return nullptr;
}

}  // namespace

void RegisterControlClass(std::wstring className, ControlCreator creator) {
  Registry& registry = Classes();
  std::lock_guard lock(registry.mutex);
  for (auto& [name, existing] : registry.classes) {
    if (EqualsIgnoreCase(name, className)) {
      existing = std::move(creator);
      return;
    }
  }
  registry.classes.emplace_back(std::move(className), std::move(creator));
}

void UnregisterControlClass(std::wstring_view className) {
  Registry& registry = Classes();
  std::lock_guard lock(registry.mutex);
  std::erase_if(registry.classes, [&](const auto& entry) { return EqualsIgnoreCase(entry.first, className); });
}

std::unique_ptr<Control> CreateControl(std::wstring_view tag) {
  if (auto control = CreateBuiltIn(tag)) return control;
  std::wstring decorated = L"C" + std::wstring(tag) + L"UI";
  ControlCreator creator = FindClass(decorated);
  if (!creator) creator = FindClass(tag);
  return creator ? creator() : nullptr;
}

}  // namespace orvello::ui
