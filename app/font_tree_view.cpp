// The font tree on the tree control: the model's faces and scripts as nodes, kept in step with
// what the model's commands report.
#include "app/font_tree_view.h"

namespace sorel {

FontTreeView::FontTreeView(TreeView& tree) : tree_(tree) {}

int FontTreeView::StateIndex(Check check) {
  switch (check) {
    case Check::None:
      return 0;
    case Check::Off:
      return 1;
    case Check::On:
      return 2;
    case Check::Mixed:
      return 3;
  }
  return 0;
}

NodeId FontTreeView::Add(NodeId parent, ItemId item, const std::string& text, Check check) {
  const NodeId node = tree_.AddChild(parent, text);
  tree_.SetStateIndex(node, StateIndex(check));
  nodeOf_[item] = node;
  itemOf_[node] = item;
  return node;
}

void FontTreeView::Show(const std::vector<FaceItem>& faces) {
  TreeBatchUpdate batch(tree_);
  nodeOf_.clear();
  itemOf_.clear();
  tree_.Clear();
  std::vector<NodeId> faceNodes;
  faceNodes.reserve(faces.size());
  for (const FaceItem& face : faces) {
    const NodeId node = Add(0, face.id, face.face, face.check);
    for (const ScriptItem& script : face.scripts) Add(node, script.id, script.text, script.check);
    faceNodes.push_back(node);
  }
  // A system tree view re-lays out its open nodes on every insert, so the faces are opened once
  // their children are in place.
  for (NodeId node : faceNodes) tree_.Expand(node);
}

void FontTreeView::Apply(const TreeChanges& changes) {
  TreeBatchUpdate batch(tree_);
  // Node 0 stands for the top level to the control: an item without a node is passed over.
  for (const auto& text : changes.texts)
    if (NodeId node = NodeOf(text.item)) tree_.SetText(node, text.text);
  for (const auto& check : changes.checks)
    if (NodeId node = NodeOf(check.item)) tree_.SetStateIndex(node, StateIndex(check.check));
  // The model has put the face's scripts in text order; the control sorts its nodes the same way.
  if (NodeId face = NodeOf(changes.resortScriptsOf)) tree_.SortChildren(face);
}

NodeId FontTreeView::NodeOf(ItemId item) const {
  auto it = nodeOf_.find(item);
  return it == nodeOf_.end() ? 0 : it->second;
}

ItemId FontTreeView::ItemOf(NodeId node) const {
  auto it = itemOf_.find(node);
  return it == itemOf_.end() ? 0 : it->second;
}

}  // namespace sorel
