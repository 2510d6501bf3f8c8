// The font tree on the tree control: the model's faces and scripts as nodes, kept in step with
// what the model's commands report.
#pragma once
#include <unordered_map>
#include <vector>

#include "engine/edit_model.h"
#include "engine/font_tree.h"
#include "engine/fontsub_types.h"
#include "ui/controls.h"

namespace sorel {

class FontTreeView {
 public:
  // tree must outlive the view.
  explicit FontTreeView(TreeView& tree);

  // Clears the tree and shows faces, in one batch: a node per face with its scripts under it in
  // their order, each with its box, every face expanded. Nodes of an earlier tree lead nowhere.
  void Show(const std::vector<FaceItem>& faces);
  // Puts a command's report on the tree: texts, then boxes, then the re-sort; one batch.
  void Apply(const TreeChanges& changes);

  // The node that shows item, 0 when none; the item a node shows, 0 when none.
  NodeId NodeOf(ItemId item) const;
  ItemId ItemOf(NodeId node) const;

  // The control's state image for a box.
  static int StateIndex(Check check);

 private:
  NodeId Add(NodeId parent, ItemId item, const std::string& text, Check check);

  TreeView& tree_;
  std::unordered_map<ItemId, NodeId> nodeOf_;
  std::unordered_map<NodeId, ItemId> itemOf_;
};

}  // namespace sorel
