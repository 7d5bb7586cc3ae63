#include "ui/layout_loader.h"

#include <pugixml.hpp>

#include "system/text.h"
#include "ui/containers.h"
#include "ui/control_factory.h"
#include "ui/layout_values.h"
#include "ui/skin.h"
#include "ui/xml_problems.h"

namespace orvello::ui {

namespace {

std::wstring Tag(const pugi::xml_node& node) { return Utf8ToWide(node.name()); }

AttributeList Attributes(const pugi::xml_node& node) {
  AttributeList list;
  for (pugi::xml_attribute attribute : node.attributes())
    list.emplace_back(ToLower(Utf8ToWide(attribute.name())), Utf8ToWide(attribute.value()));
  return list;
}

std::wstring BadValue(const std::wstring& name, const std::wstring& value) {
  return L"bad value \"" + value + L"\" for attribute \"" + name + L"\"";
}

}  // namespace

// A friend of Control: it records the layout file of each control and the
// texts as written.
class LayoutLoader {
 public:
  LoadedLayout Load(std::wstring_view file) {
    includeStack_.emplace_back(file);
    result_.root = LoadFile(file, true);
    return std::move(result_);
  }

 private:
  struct Source {
    std::wstring file;
    int index;
    const XmlSource& xml;
  };

  std::unique_ptr<Control> LoadFile(std::wstring_view file, bool top) {
    auto bytes = ReadSkinFile(file);
    if (!bytes) {
      result_.problems.push_back(std::wstring(file) + L": the layout file is missing");
      return nullptr;
    }
    XmlSource xml(std::move(*bytes));
    pugi::xml_document doc;
    if (!xml.Parse(doc, file, result_.problems)) return nullptr;
    Source source{std::wstring(file), FileIndex(file), xml};

    pugi::xml_node root = doc.document_element();
    if (!EqualsIgnoreCase(Tag(root), L"Window")) return Build(root, source);

    if (top) ReadWindowAttributes(root, source);
    for (pugi::xml_node element : root.children()) {
      if (element.type() != pugi::node_element) continue;
      if (EqualsIgnoreCase(Tag(element), L"Font")) ReadFont(element, source);
      if (EqualsIgnoreCase(Tag(element), L"Default")) ReadDefault(element, source);
    }
    std::unique_ptr<Control> control;
    for (pugi::xml_node element : root.children()) {
      if (element.type() != pugi::node_element) continue;
      std::wstring tag = Tag(element);
      if (EqualsIgnoreCase(tag, L"Font") || EqualsIgnoreCase(tag, L"Default")) continue;
      if (control) {
        Problem(source, element, L"a layout has one root control; \"" + tag + L"\" is left out");
        continue;
      }
      control = Build(element, source);
    }
    if (!control && top && result_.problems.empty()) Problem(source, root, L"the window has no control");
    return control;
  }

  std::unique_ptr<Control> Build(const pugi::xml_node& element, const Source& source) {
    std::wstring tag = Tag(element);
    std::unique_ptr<Control> control = CreateControl(tag);
    if (!control) {
      Problem(source, element, L"unknown control class \"" + tag + L"\"");
      return nullptr;
    }
    control->layoutFile_ = source.index;
    for (const auto& [classTag, attributes] : defaults_)
      if (EqualsIgnoreCase(classTag, tag)) Apply(*control, attributes, element, source);
    Apply(*control, Attributes(element), element, source);
    control->layoutText_ = control->Text();
    control->layoutTooltip_ = control->Tooltip();

    auto* container = dynamic_cast<Container*>(control.get());
    for (pugi::xml_node child : element.children()) {
      if (child.type() != pugi::node_element) continue;
      std::wstring childTag = Tag(child);
      std::wstring problem;
      if (control->AddItemElement(childTag, Attributes(child), problem)) {
        if (!problem.empty()) Problem(source, child, problem);
        continue;
      }
      if (!container) {
        Problem(source, child, L"a " + tag + L" cannot hold \"" + childTag + L"\"");
        continue;
      }
      if (auto built = Build(child, source)) container->Add(std::move(built));
    }

    if (control->Kind() == ControlKind::kChildLayout) Include(static_cast<ChildLayout&>(*control), element, source);
    return control;
  }

  void Include(ChildLayout& layout, const pugi::xml_node& element, const Source& source) {
    const std::wstring& file = layout.XmlFile();
    if (file.empty()) {
      Problem(source, element, L"ChildLayout without xmlfile");
      return;
    }
    for (const std::wstring& open : includeStack_) {
      if (EqualsIgnoreCase(open, file)) {
        Problem(source, element, L"\"" + file + L"\" includes itself");
        return;
      }
    }
    includeStack_.push_back(file);
    std::unique_ptr<Control> root = LoadFile(file, false);
    includeStack_.pop_back();
    if (root) layout.Add(std::move(root));
  }

  void Apply(Control& control, const AttributeList& attributes, const pugi::xml_node& element, const Source& source) {
    for (const auto& [name, value] : attributes) {
      switch (control.SetAttribute(name, value)) {
        case AttributeResult::kApplied:
          break;
        case AttributeResult::kUnknown:
          control.extra_.insert_or_assign(name, value);
          break;
        case AttributeResult::kBadValue:
          Problem(source, element, BadValue(name, value));
          break;
      }
    }
  }

  void ReadWindowAttributes(const pugi::xml_node& element, const Source& source) {
    WindowAttributes& window = result_.window;
    for (const auto& [name, value] : Attributes(element)) {
      bool good = true;
      if (name == L"size" || name == L"mininfo" || name == L"maxinfo") {
        auto size = ParseLayoutSize(value);
        good = size.has_value();
        if (size) (name == L"size" ? window.size : name == L"mininfo" ? window.minSize : window.maxSize) = *size;
      } else if (name == L"caption" || name == L"sizebox") {
        auto rect = ParseLayoutRect(value);
        good = rect.has_value();
        if (rect) (name == L"caption" ? window.caption : window.sizeBox) = *rect;
      } else if (name == L"title") {
        window.title = value;
      } else if (name == L"bkcolor") {
        window.bkColor = ParseColor(value);
        good = window.bkColor.has_value();
      } else {
        window.extra.insert_or_assign(name, value);
      }
      if (!good) Problem(source, element, BadValue(name, value));
    }
  }

  void ReadFont(const pugi::xml_node& element, const Source& source) {
    FontDef font;
    for (const auto& [name, value] : Attributes(element)) {
      bool good = true;
      if (name == L"id" || name == L"size") {
        auto number = ParseLayoutInt(value);
        good = number && *number >= 0;
        if (good) (name == L"id" ? font.id : font.size) = *number;
      } else if (name == L"face" || name == L"name") {
        font.face = value;
      } else if (name == L"bold" || name == L"italic" || name == L"underline" || name == L"default") {
        auto flag = ParseLayoutBool(value);
        good = flag.has_value();
        if (good)
          (name == L"bold" ? font.bold : name == L"italic" ? font.italic : name == L"underline" ? font.underline
                                                                                              : font.isDefault) = *flag;
      }
      if (!good) Problem(source, element, BadValue(name, value));
    }
    for (FontDef& existing : result_.fonts) {
      if (existing.id == font.id) {
        existing = font;
        return;
      }
    }
    result_.fonts.push_back(font);
  }

  void ReadDefault(const pugi::xml_node& element, const Source& source) {
    AttributeList attributes = Attributes(element);
    std::wstring classTag;
    std::erase_if(attributes, [&](const auto& entry) {
      if (entry.first != L"class") return false;
      classTag = entry.second;
      return true;
    });
    if (classTag.empty()) {
      Problem(source, element, L"Default without class");
      return;
    }
    defaults_.emplace_back(classTag, std::move(attributes));
  }

  int FileIndex(std::wstring_view file) {
    for (size_t i = 0; i < result_.files.size(); ++i)
      if (EqualsIgnoreCase(result_.files[i], file)) return static_cast<int>(i);
    result_.files.emplace_back(file);
    return static_cast<int>(result_.files.size()) - 1;
  }

  void Problem(const Source& source, const pugi::xml_node& node, const std::wstring& message) {
    result_.problems.push_back(source.xml.Describe(source.file, node.offset_debug(), message));
  }

  LoadedLayout result_;
  std::vector<std::wstring> includeStack_;
  std::vector<std::pair<std::wstring, AttributeList>> defaults_;
};

LoadedLayout LoadLayout(std::wstring_view file) { return LayoutLoader().Load(file); }

}  // namespace orvello::ui
