#pragma once
// A control of a window: the node type of the tree a layout file builds.
// It holds the state every kind shares (name, texts, visibility, colours,
// box-layout hints); the kinds add their own. A control that belongs to a
// built window reports each change to the window's backend and sends its
// notifications through the window's paint manager.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/color.h"
#include "ui/geometry.h"
#include "ui/messages.h"

namespace orvello::ui {

class PaintManager;
class Window;

enum class ControlKind {
  kContainer,
  kVerticalLayout,
  kHorizontalLayout,
  kTabLayout,
  kChildLayout,
  kLabel,
  kText,
  kButton,
  kOption,
  kCheckBox,
  kEdit,
  kProgress,
  kPicture,
  kCombo,
  kGrid,
  kRichEdit,
  kTree,
};

// The layout tag of a kind ("VerticalLayout", "Button", ...).
std::wstring_view KindTag(ControlKind kind);

// What changed, so that a native backend updates only that.
enum class Change {
  kText,
  kTooltip,
  kVisible,
  kEnabled,
  kSelected,  // option state, tab page, combo item, tree node, grid highlight
  kValue,     // progress position
  kItems,     // combo items, tree nodes
  kRows,      // grid rows, cells, check boxes, colours, row count
  kFrames,    // picture image, frames, current frame
  kAppend,    // rich edit: a run was added at the end
  kStyle,     // colours, font, other attributes
  kChildren,  // a container's children were added or removed
};

enum class AttributeResult { kApplied, kUnknown, kBadValue };

using AttributeList = std::vector<std::pair<std::wstring, std::wstring>>;

struct LayoutHints {
  int width = 0;   // 0: shares the space the parent has left
  int height = 0;
  Rect padding;    // around the control, inside its parent
  Rect inset;      // between a container's edge and its children
  int childPadding = 0;   // between the children of a box layout
  bool floating = false;  // placed by `pos` relative to the parent, outside the flow
  Rect pos;
};

class Control {
 public:
  explicit Control(ControlKind kind);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const { return kind_; }
  // The kind's layout tag; controls registered with the factory answer
  // their own class name.
  virtual std::wstring ClassName() const;

  const std::wstring& Name() const { return name_; }
  void SetName(std::wstring name);
  const std::wstring& Text() const { return text_; }
  virtual void SetText(std::wstring text);
  const std::wstring& Tooltip() const { return tooltip_; }
  void SetTooltip(std::wstring tooltip);
  // The number the language pack's layout texts are keyed by.
  std::optional<int> ResourceId() const { return resourceId_; }
  void SetResourceId(std::optional<int> id) { resourceId_ = id; }

  bool IsVisible() const { return visible_; }
  void SetVisible(bool visible);
  bool IsEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Visible itself, every ancestor visible, and on the selected page of
  // every tab layout above it: what a user can see.
  bool IsVisibleOnScreen() const;
  // Enabled itself and every ancestor: what a user can operate.
  bool IsEnabledOnScreen() const;

  const std::wstring& UserData() const { return userData_; }
  void SetUserData(std::wstring data) { userData_ = std::move(data); }
  uintptr_t Tag() const { return tag_; }
  void SetTag(uintptr_t tag) { tag_ = tag; }

  std::optional<Color> TextColor() const { return textColor_; }
  void SetTextColor(std::optional<Color> color);
  std::optional<Color> BkColor() const { return bkColor_; }
  void SetBkColor(std::optional<Color> color);
  std::optional<Color> BorderColor() const { return borderColor_; }
  void SetBorderColor(std::optional<Color> color);
  // The id of one of the window's fonts (FontDef::id); -1 for the default.
  int Font() const { return font_; }
  void SetFont(int font);

  const LayoutHints& Hints() const { return hints_; }
  void SetHints(const LayoutHints& hints);
  // The rectangle the last layout gave the control, in window coordinates.
  const Rect& Pos() const { return pos_; }
  void SetPos(const Rect& rect) { pos_ = rect; }

  // Attributes this kind does not interpret (images, alignment, ...), as
  // the layout wrote them.
  const std::wstring* Attribute(std::wstring_view name) const;
  const std::map<std::wstring, std::wstring, std::less<>>& ExtraAttributes() const { return extra_; }

  // One layout attribute. Kinds handle their own and pass the rest on;
  // kUnknown keeps the value as an extra attribute.
  virtual AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value);
  // An element nested in the control's element that is an item of the
  // kind rather than a control (a grid's Column, a combo's Item). False
  // when the tag is no item of this kind; `problem` explains a bad item.
  virtual bool AddItemElement(std::wstring_view tag, const AttributeList& attributes, std::wstring& problem);
  // Whether control elements may be nested in this one.
  virtual bool IsContainer() const { return false; }

  Control* Parent() const { return parent_; }
  virtual size_t ChildCount() const { return 0; }
  virtual Control* ChildAt(size_t) const { return nullptr; }

  // Set while the control belongs to a built window.
  PaintManager* Manager() const { return manager_; }
  Window* OwnerWindow() const;

  // A click by the user (from the backend or a test): buttons raise
  // "click", options and check boxes also change their state. False when
  // this kind takes no clicks or the control is disabled.
  virtual bool Activate();

  // Which of the window's layout files the control was written in
  // (Window::LayoutFiles); -1 for controls made by the program.
  int LayoutFileIndex() const { return layoutFile_; }
  // Text and tooltip as the layout wrote them, before any language pack.
  const std::wstring& LayoutText() const { return layoutText_; }
  const std::wstring& LayoutTooltip() const { return layoutTooltip_; }

  // Whatever the native backend keeps for this control.
  std::shared_ptr<void> native;

 protected:
  void Changed(Change what, int item = -1);
  // Sets the text without reporting it (the kind reports its own change).
  void StoreText(std::wstring text) { text_ = std::move(text); }
  void RequestLayout();
  void SendNotify(std::wstring_view type, WParam wParam = 0, LParam lParam = 0);
  // The control joined a built window / is about to leave it.
  virtual void OnAttached() {}
  virtual void OnDetaching() {}
  // A timer the control set for its own use elapsed (no notification).
  virtual void OnToolkitTimer(uint32_t id) {}
  bool SetToolkitTimer(uint32_t id, uint32_t intervalMs);
  bool KillToolkitTimer(uint32_t id);

 private:
  friend class Container;
  friend class PaintManager;
  friend class LayoutLoader;
  friend class Window;

  ControlKind kind_;
  std::wstring name_;
  std::wstring text_;
  std::wstring tooltip_;
  std::optional<int> resourceId_;
  bool visible_ = true;
  bool enabled_ = true;
  std::wstring userData_;
  uintptr_t tag_ = 0;
  std::optional<Color> textColor_;
  std::optional<Color> bkColor_;
  std::optional<Color> borderColor_;
  int font_ = -1;
  LayoutHints hints_;
  Rect pos_;
  std::map<std::wstring, std::wstring, std::less<>> extra_;
  Control* parent_ = nullptr;
  PaintManager* manager_ = nullptr;
  int layoutFile_ = -1;
  std::wstring layoutText_;
  std::wstring layoutTooltip_;
};

}  // namespace orvello::ui
