#pragma once
// A pop-up menu built from a menu layout file ("MenuLanguage.xml"):
//   <Menu>
//     <MenuItem name="menu_lang_English" text="English" userdata="English" resourceid="3"/>
//     <Separator/>
//     <MenuItem text="More"><MenuItem name="..." text="..."/></MenuItem>
//   </Menu>
// Before it is shown every form may set check marks (OnMenuUpdate); the
// chosen item's name reaches the forms through OnMenuCommand.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvello::ui {

struct MenuItem {
  std::wstring name;
  std::wstring text;
  std::wstring userData;
  std::optional<int> resourceId;
  std::wstring layoutText;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  bool separator = false;
  std::vector<MenuItem> children;
};

class Menu {
 public:
  Menu() = default;
  Menu(std::wstring layoutFile, std::vector<MenuItem> items) : layoutFile_(std::move(layoutFile)), items_(std::move(items)) {}

  const std::wstring& LayoutFile() const { return layoutFile_; }
  std::vector<MenuItem>& Items() { return items_; }
  const std::vector<MenuItem>& Items() const { return items_; }
  // By name ignoring letter case, at any depth; null when absent.
  MenuItem* Find(std::wstring_view name);
  // Every item, depth first.
  void ForEach(const std::function<void(MenuItem&)>& visit);

 private:
  std::wstring layoutFile_;
  std::vector<MenuItem> items_;
};

struct MenuLoadResult {
  std::optional<Menu> menu;
  std::vector<std::wstring> problems;
};

// Reads the menu layout through the skin reader.
MenuLoadResult LoadMenuLayout(std::wstring_view layoutFile);

}  // namespace orvello::ui
