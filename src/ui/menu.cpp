#include "ui/menu.h"

#include <pugixml.hpp>

#include "system/text.h"
#include "ui/layout_values.h"
#include "ui/skin.h"
#include "ui/xml_problems.h"

namespace orvello::ui {

namespace {

MenuItem* FindIn(std::vector<MenuItem>& items, std::wstring_view name) {
  for (MenuItem& item : items) {
    if (!item.separator && EqualsIgnoreCase(item.name, name)) return &item;
    if (MenuItem* found = FindIn(item.children, name)) return found;
  }
  return nullptr;
}

void VisitAll(std::vector<MenuItem>& items, const std::function<void(MenuItem&)>& visit) {
  for (MenuItem& item : items) {
    visit(item);
    VisitAll(item.children, visit);
  }
}

class MenuReader {
 public:
  MenuReader(std::wstring_view file, const XmlSource& source, std::vector<std::wstring>& problems)
      : file_(file), source_(source), problems_(problems) {}

  void ReadItems(const pugi::xml_node& parent, std::vector<MenuItem>& out) {
    for (pugi::xml_node element : parent.children()) {
      if (element.type() != pugi::node_element) continue;
      std::wstring tag = Utf8ToWide(element.name());
      if (EqualsIgnoreCase(tag, L"Separator")) {
        MenuItem separator;
        separator.separator = true;
        out.push_back(std::move(separator));
        continue;
      }
      if (!EqualsIgnoreCase(tag, L"MenuItem")) {
        Problem(element, L"unknown menu element \"" + tag + L"\"");
        continue;
      }
      MenuItem item;
      for (pugi::xml_attribute attribute : element.attributes()) {
        std::wstring name = ToLower(Utf8ToWide(attribute.name()));
        std::wstring value = Utf8ToWide(attribute.value());
        if (name == L"name") {
          item.name = value;
        } else if (name == L"text") {
          item.text = value;
        } else if (name == L"userdata") {
          item.userData = value;
        } else if (name == L"resourceid") {
          auto id = ParseLayoutInt(value);
          if (!id || *id < 0)
            Problem(element, L"bad value \"" + value + L"\" for attribute \"resourceid\"");
          else
            item.resourceId = *id;
        } else if (name == L"checked" || name == L"enabled" || name == L"visible") {
          auto flag = ParseLayoutBool(value);
          if (!flag)
            Problem(element, L"bad value \"" + value + L"\" for attribute \"" + name + L"\"");
          else
            (name == L"checked" ? item.checked : name == L"enabled" ? item.enabled : item.visible) = *flag;
        }
      }
      item.layoutText = item.text;
      ReadItems(element, item.children);
      out.push_back(std::move(item));
    }
  }

 private:
  void Problem(const pugi::xml_node& node, const std::wstring& message) {
    problems_.push_back(source_.Describe(file_, node.offset_debug(), message));
  }

  std::wstring file_;
  const XmlSource& source_;
  std::vector<std::wstring>& problems_;
};

}  // namespace

MenuItem* Menu::Find(std::wstring_view name) { return FindIn(items_, name); }

void Menu::ForEach(const std::function<void(MenuItem&)>& visit) { VisitAll(items_, visit); }

MenuLoadResult LoadMenuLayout(std::wstring_view layoutFile) {
  MenuLoadResult result;
  auto bytes = ReadSkinFile(layoutFile);
  if (!bytes) {
    result.problems.push_back(std::wstring(layoutFile) + L": the layout file is missing");
    return result;
  }
  XmlSource source(std::move(*bytes));
  pugi::xml_document doc;
  if (!source.Parse(doc, layoutFile, result.problems)) return result;
  pugi::xml_node root = doc.document_element();
  if (!EqualsIgnoreCase(Utf8ToWide(root.name()), L"Menu")) {
    result.problems.push_back(source.Describe(layoutFile, root.offset_debug(), L"the root element is not Menu"));
    return result;
  }
  std::vector<MenuItem> items;
  MenuReader(layoutFile, source, result.problems).ReadItems(root, items);
  result.menu.emplace(std::wstring(layoutFile), std::move(items));
  return result;
}

}  // namespace orvello::ui
