#include "ui/layout_texts.h"

#include <vector>

#include "ui/grid.h"
#include "ui/menu.h"
#include "ui/skin.h"
#include "ui/window.h"

namespace orvello::ui {

namespace {

const LayoutText* Entry(const LayoutTextMap& texts, std::optional<int> id) {
  if (!id) return nullptr;
  auto found = texts.find(*id);
  return found == texts.end() ? nullptr : &found->second;
}

}  // namespace

void ApplyLayoutTexts(Window& window) { ApplyLayoutTexts(window, SkinLanguage()); }

void ApplyLayoutTexts(Window& window, const LanguageManager& language) {
  std::vector<LayoutTextMap> files;
  for (const std::wstring& file : window.LayoutFiles()) files.push_back(language.LayoutTexts(file));

  window.Manager().ForEachControl([&](Control& control) {
    int index = control.LayoutFileIndex();
    if (index < 0 || static_cast<size_t>(index) >= files.size()) return;
    const LayoutTextMap& texts = files[static_cast<size_t>(index)];
    if (control.ResourceId()) {
      const LayoutText* entry = Entry(texts, control.ResourceId());
      control.SetText(entry && entry->text ? *entry->text : control.LayoutText());
      control.SetTooltip(entry && entry->tooltip ? *entry->tooltip : control.LayoutTooltip());
    }
    if (auto* grid = dynamic_cast<Grid*>(&control)) {
      for (size_t c = 0; c < grid->ColumnCount(); ++c) {
        const GridColumn* column = grid->Column(static_cast<int>(c));
        if (!column->resourceId) continue;
        const LayoutText* entry = Entry(texts, column->resourceId);
        grid->SetColumnText(static_cast<int>(c), entry && entry->text ? *entry->text : column->layoutText);
      }
    }
  });
}

void ApplyMenuTexts(Menu& menu, const LanguageManager& language) {
  LayoutTextMap texts = language.LayoutTexts(menu.LayoutFile());
  menu.ForEach([&](MenuItem& item) {
    if (!item.resourceId) return;
    const LayoutText* entry = Entry(texts, item.resourceId);
    item.text = entry && entry->text ? *entry->text : item.layoutText;
  });
}

}  // namespace orvello::ui
