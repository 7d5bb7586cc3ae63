#include "ui/tree.h"

#include "ui/notify.h"

namespace orvello::ui {

namespace {

size_t CountBelow(const TreeNode& node) {
  size_t count = 0;
  for (size_t i = 0; i < node.ChildCount(); ++i) count += 1 + CountBelow(*node.ChildAt(i));
  return count;
}

TreeNode* FindBelow(const TreeNode& node, const std::function<bool(const TreeNode&)>& match) {
  for (size_t i = 0; i < node.ChildCount(); ++i) {
    TreeNode* child = node.ChildAt(i);
    if (match(*child)) return child;
    if (TreeNode* found = FindBelow(*child, match)) return found;
  }
  return nullptr;
}

bool IsWithin(const TreeNode* node, const TreeNode* ancestor) {
  for (; node; node = node->Parent())
    if (node == ancestor) return true;
  return false;
}

}  // namespace

TreeNode* Tree::AddNode(TreeNode* parent, std::wstring text, uintptr_t data) {
  if (!parent) parent = &root_;
  if (parent != &root_ && !Contains(parent)) return nullptr;
  auto node = std::make_unique<TreeNode>();
  node->text = std::move(text);
  node->data = data;
  node->parent_ = parent;
  TreeNode* added = node.get();
  parent->children_.push_back(std::move(node));
  Changed(Change::kItems);
  return added;
}

bool Tree::RemoveNode(TreeNode* node) {
  if (!Contains(node)) return false;
  if (IsWithin(selected_, node)) selected_ = nullptr;
  auto& siblings = node->parent_->children_;
  for (auto it = siblings.begin(); it != siblings.end(); ++it) {
    if (it->get() == node) {
      siblings.erase(it);
      break;
    }
  }
  Changed(Change::kItems);
  return true;
}

void Tree::RemoveAll() {
  root_.children_.clear();
  selected_ = nullptr;
  Changed(Change::kItems);
}

size_t Tree::NodeCount() const { return CountBelow(root_); }

TreeNode* Tree::FindNode(const std::function<bool(const TreeNode&)>& match) const { return FindBelow(root_, match); }

bool Tree::Contains(const TreeNode* node) const {
  if (!node || node == &root_) return false;
  return IsWithin(node, &root_);
}

bool Tree::SelectNode(TreeNode* node, bool notify) {
  if (node && !Contains(node)) return false;
  if (node == selected_) return true;
  selected_ = node;
  Changed(Change::kSelected);
  if (notify) SendNotify(notify::kSelectChanged, node ? 1 : 0, reinterpret_cast<LParam>(node));
  return true;
}

bool Tree::Expand(TreeNode* node, bool expand) {
  if (!Contains(node)) return false;
  if (node->expanded_ == expand) return true;
  if (expand) OnExpanding(*node);
  node->expanded_ = expand;
  Changed(Change::kItems);
  SendNotify(expand ? notify::kItemExpand : notify::kItemCollapse, 0, reinterpret_cast<LParam>(node));
  return true;
}

void Tree::SetNodeText(TreeNode* node, std::wstring text) {
  if (!Contains(node) || node->text == text) return;
  node->text = std::move(text);
  Changed(Change::kItems);
}

bool Tree::UserSelect(TreeNode* node) {
  if (!IsEnabled()) return false;
  return SelectNode(node, true);
}

bool Tree::UserExpand(TreeNode* node, bool expand) {
  if (!IsEnabled()) return false;
  return Expand(node, expand);
}

}  // namespace orvello::ui
