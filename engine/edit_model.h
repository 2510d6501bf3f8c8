// The editing model: the font records, the table they came from, the unsaved-changes flag and the
// commands on them, free of any window. The main window shows what each command reports.
#pragma once
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/fontsub_types.h"
#include "engine/key_value_list.h"
#include "engine/sorted_text_list.h"
#include "engine/subst_table.h"
#include "ui/controls.h"
#include "platform/fonts.h"
#include "platform/profile.h"
#include "platform/text_compare.h"

namespace sorel {

// What a command changed in the tree: new state images and texts of nodes, and the face whose
// script nodes must be sorted again because a text changed. The window applies it as it stands.
struct TreeChanges {
  struct State {
    NodeId node;
    int index;  // 1 empty box, 2 ticked, 3 grey
  };
  struct Text {
    NodeId node;
    std::string text;
  };
  std::vector<State> states;
  std::vector<Text> texts;
  NodeId sortChildrenOf = 0;  // 0: no sort
  bool changed = false;       // the command changed a record, so the edits are unsaved
};

class EditModel {
 public:
  // compare must outlive the model.
  explicit EditModel(TextCompare& compare);

  // --- Filling, in the main window's creation order.
  // Empties the font names, the scripts of the last face and the script names.
  void ClearFontLists();
  // Refills the font names from the system (nothing without a system window).
  void EnumerateFonts(Fonts& fonts, bool handleAllocated);
  // Empties the records, the table and the script suffixes.
  void ClearTableState();
  // Reads the "IniStrings" section of the language file into the script suffixes.
  void ReadScriptSuffixes(ProfileFiles& profiles, const std::string& langResFile);
  // Appends the stored table; errors of the store propagate with whatever was read so far kept.
  void ReadTable(TableStore& store);
  // Builds the tree from the font names and the table, making a record per script node.
  void BuildTree(TreeView& tree, Fonts& fonts, bool handleAllocated);

  // --- What the window reads.
  bool Modified() const { return modified_; }
  const TFontList& FontList() const { return fontList_; }
  const SubstTable& Table() const { return table_; }
  const SortedTextList& FontNames() const { return fontNames_; }
  const SortedTextList& ScriptNames() const { return scriptNames_; }
  const KeyValueList& ScriptSuffixes() const { return scriptSuffixes_; }
  // The record a script node shows; nullptr for a face node, no node or a node of an older tree.
  const TFontStruct* RecordOf(NodeId node) const;
  bool IsFaceNode(NodeId node) const { return faceOfNode_.count(node) != 0; }
  // What toggling node does: true when it switches off (the script, or every script of the face,
  // is on), false when it switches on.
  bool ToggleSwitchesOff(NodeId node) const;

  // --- Commands. Each reports what the tree must show; none of them writes anything.
  void MarkModified() { modified_ = true; }
  void ClearModified() { modified_ = false; }
  // A script node flips its record; a face node switches all its scripts off when all are on,
  // on otherwise. Any other node: nothing.
  TreeChanges Toggle(NodeId node);
  // Maps the face's Western requests onto the script node's character set, or removes the
  // mapping when it is already there. A face maps onto one script at most.
  TreeChanges ToggleWestern(NodeId scriptNode);
  // Every record on or off.
  TreeChanges SetAllScripts(bool on);
  // Every record of one character set on or off; no matching record changes nothing.
  TreeChanges SetScriptForAll(int charset, bool on);

  // --- Applying and restoring.
  // Turns the records into entries of the table when there are unsaved edits, then puts the six
  // fixed Helvetica, Times and Courier entries for character set defLangVal at its end.
  const SubstTable& ComposeTable(const std::string& defLangVal);
  // Reads the stored table again in place of the one in memory. When the read fails, the table
  // the records came from stays (a later save must not drop entries no record shows) and the
  // error propagates.
  void RereadTable(TableStore& store);
  // Empties the records and builds the tree again from the table in memory.
  void RebuildTree(TreeView& tree, Fonts& fonts, bool handleAllocated);

  // The fixed entries for character set v, in the order they end the table.
  static std::vector<std::string> FixedEntries(const std::string& v);

 private:
  struct FaceNode {
    std::string face;
    std::vector<TFontStruct*> records;  // in list order
  };
  TFontStruct* Record(NodeId node);
  int FaceStateIndex(const FaceNode& face) const;
  // The face node's state after its records changed.
  void AddFaceState(TreeChanges& changes, NodeId faceNode) const;
  // Links every record to its node and face after a build.
  void LinkNodes(TreeView& tree);
  // Switches the records that match on or off.
  TreeChanges SwitchRecords(const std::function<bool(const TFontStruct&)>& matches, bool on);
  // Removes the first Western mark from a node's text; true when there was one.
  bool RemoveWesternMark(TreeChanges& changes, TFontStruct& record);

  TextCompare& compare_;
  bool modified_ = false;
  SortedTextList fontNames_, faceScripts_, scriptNames_;
  KeyValueList scriptSuffixes_;
  TFontList fontList_;
  SubstTable table_;
  std::unordered_map<NodeId, TFontStruct*> recordOfNode_;
  std::unordered_map<NodeId, NodeId> faceNodeOfRecordNode_;
  std::unordered_map<NodeId, FaceNode> faceOfNode_;
  std::unordered_map<NodeId, std::string> textOfNode_;  // script nodes' texts as the tree shows them
};

}  // namespace sorel
