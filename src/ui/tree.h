#pragma once
// A tree of text nodes. Each node carries a number, an optional attachment
// released with the node (an icon, a shell item), an expanded flag and
// whether it shows an expander before its children are known (children
// filled on expansion). Notifications carry the node in lParam.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"

namespace orvello::ui {

class TreeNode {
 public:
  TreeNode() = default;
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  std::wstring text;
  uintptr_t data = 0;
  std::shared_ptr<void> attachment;
  bool expandable = false;

  bool IsExpanded() const { return expanded_; }
  TreeNode* Parent() const { return parent_; }
  size_t ChildCount() const { return children_.size(); }
  TreeNode* ChildAt(size_t index) const { return index < children_.size() ? children_[index].get() : nullptr; }

 private:
  friend class Tree;
  bool expanded_ = false;
  TreeNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children_;
};

class Tree : public Control {
 public:
  Tree() : Control(ControlKind::kTree) {}

  // The invisible root; its children are the top-level nodes.
  TreeNode& Root() { return root_; }
  const TreeNode& Root() const { return root_; }
  // Appends a node under `parent` (null: top level).
  TreeNode* AddNode(TreeNode* parent, std::wstring text, uintptr_t data = 0);
  // Removes a node with everything below it.
  bool RemoveNode(TreeNode* node);
  void RemoveAll();
  // Every node, depth first, in display order.
  size_t NodeCount() const;
  TreeNode* FindNode(const std::function<bool(const TreeNode&)>& match) const;
  // True when `node` is a node of this tree (not the root).
  bool Contains(const TreeNode* node) const;

  TreeNode* SelectedNode() const { return selected_; }
  // With `notify` a change raises "selectchanged" (lParam the node, null
  // when the selection was cleared).
  bool SelectNode(TreeNode* node, bool notify = true);
  // Raises "itemexpand" / "itemcollapse"; expanding first gives the kind a
  // chance to fill the node's children (OnExpanding).
  bool Expand(TreeNode* node, bool expand);
  void SetNodeText(TreeNode* node, std::wstring text);

  // The user's choices; refused when disabled.
  bool UserSelect(TreeNode* node);
  bool UserExpand(TreeNode* node, bool expand);

 protected:
  explicit Tree(ControlKind kind) : Control(kind) {}
  virtual void OnExpanding(TreeNode& node) {}

 private:
  TreeNode root_;
  TreeNode* selected_ = nullptr;
};

}  // namespace orvello::ui
