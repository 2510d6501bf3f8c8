// The editing model: the font records, the table they came from, the unsaved-changes flag and the
// commands on them, free of any window.
#include "engine/edit_model.h"

#include <unordered_set>
#include <utility>

#include "engine/font_inventory.h"
#include "engine/font_tree.h"

namespace sorel {

namespace {

// The character set of the fixed entries when no language has given one.
constexpr const char* kBuiltInDefLangVal = "238";

}  // namespace

EditModel::EditModel(TextCompare& compare)
    : compare_(compare), fontNames_(compare), faceScripts_(compare), scriptNames_(compare) {}

void EditModel::ClearFontLists() {
  fontNames_.Clear();
  faceScripts_.Clear();
  scriptNames_.Clear();
}

void EditModel::EnumerateFonts(Fonts& fonts, bool handleAllocated) {
  sorel::EnumerateFonts(fonts, handleAllocated, fontNames_);
}

void EditModel::ClearTableState() {
  fontList_.Clear();
  table_.clear();
  scriptSuffixes_.Clear();
}

void EditModel::ReadScriptSuffixes(ProfileFiles& profiles, const std::string& langResFile) {
  ReadSection(profiles, langResFile, "IniStrings", scriptSuffixes_);
}

void EditModel::ReadTable(TableStore& store) { store.ReadTable(table_); }

void EditModel::BuildTree(TreeView& tree, Fonts& fonts, bool handleAllocated) {
  FontTreeContext context{tree,         fonts,     compare_, handleAllocated, fontNames_,
                          faceScripts_, scriptNames_, fontList_, table_,         scriptSuffixes_};
  // A failing build still leaves the nodes made so far linked to their records.
  struct Link {
    EditModel& model;
    TreeView& tree;
    ~Link() { model.LinkNodes(tree); }
  } link{*this, tree};
  sorel::BuildFontTree(context);
}

void EditModel::LinkNodes(TreeView& tree) {
  recordOfNode_.clear();
  faceNodeOfRecordNode_.clear();
  faceOfNode_.clear();
  textOfNode_.clear();
  for (int i = 0; i < fontList_.Count(); ++i) {
    TFontStruct* record = fontList_.Item(i);
    const NodeId node = record->NodeItemId;
    if (!node) continue;
    const NodeId face = tree.Parent(node);
    recordOfNode_[node] = record;
    faceNodeOfRecordNode_[node] = face;
    textOfNode_[node] = tree.Text(node);
    FaceNode& faceNode = faceOfNode_[face];
    faceNode.face = record->FaceName;
    faceNode.records.push_back(record);
  }
}

const TFontStruct* EditModel::RecordOf(NodeId node) const {
  auto it = recordOfNode_.find(node);
  return it == recordOfNode_.end() ? nullptr : it->second;
}

// The model owns the records; the const lookup only keeps readers from changing them.
TFontStruct* EditModel::Record(NodeId node) { return const_cast<TFontStruct*>(RecordOf(node)); }

int EditModel::FaceStateIndex(const FaceNode& face) const {
  bool anyOn = false, anyOff = false;
  for (const TFontStruct* record : face.records) (record->Enabled ? anyOn : anyOff) = true;
  if (!anyOn) return 1;
  return anyOff ? 3 : 2;
}

void EditModel::AddFaceState(TreeChanges& changes, NodeId faceNode) const {
  auto it = faceOfNode_.find(faceNode);
  if (it != faceOfNode_.end()) changes.states.push_back({faceNode, FaceStateIndex(it->second)});
}

bool EditModel::ToggleSwitchesOff(NodeId node) const {
  if (const TFontStruct* record = RecordOf(node)) return record->Enabled;
  auto face = faceOfNode_.find(node);
  return face != faceOfNode_.end() && FaceStateIndex(face->second) == 2;
}

TreeChanges EditModel::Toggle(NodeId node) {
  TreeChanges changes;
  if (TFontStruct* record = Record(node)) {
    record->Enabled = !record->Enabled;
    changes.states.push_back({node, record->Enabled ? 2 : 1});
    AddFaceState(changes, faceNodeOfRecordNode_[node]);
  } else if (auto face = faceOfNode_.find(node); face != faceOfNode_.end()) {
    // Fully on goes off; none or mixed goes on.
    const bool on = FaceStateIndex(face->second) != 2;
    for (TFontStruct* each : face->second.records) {
      each->Enabled = on;
      changes.states.push_back({each->NodeItemId, on ? 2 : 1});
    }
    changes.states.push_back({node, on ? 2 : 1});
  } else {
    return changes;
  }
  changes.changed = modified_ = true;
  return changes;
}

bool EditModel::RemoveWesternMark(TreeChanges& changes, TFontStruct& record) {
  std::string& text = textOfNode_[record.NodeItemId];
  const std::size_t at = text.find(kWesternMark);
  if (at == std::string::npos) return false;
  text.erase(at, std::char_traits<char>::length(kWesternMark));
  changes.texts.push_back({record.NodeItemId, text});
  return true;
}

TreeChanges EditModel::ToggleWestern(NodeId scriptNode) {
  TreeChanges changes;
  TFontStruct* record = Record(scriptNode);
  if (!record) return changes;
  if (record->WesternMapped) {
    record->WesternMapped = false;
    RemoveWesternMark(changes, *record);
  } else {
    // A face's Western requests go to one script only: the mark moves here from any other.
    for (TFontStruct* other : faceOfNode_[faceNodeOfRecordNode_[scriptNode]].records) {
      RemoveWesternMark(changes, *other);
      other->WesternMapped = false;
    }
    std::string& text = textOfNode_[scriptNode];
    text += kWesternMark;
    changes.texts.push_back({scriptNode, text});
    record->WesternMapped = true;
  }
  // The tree keeps siblings in text order; the controls sort only when asked.
  changes.sortChildrenOf = faceNodeOfRecordNode_[scriptNode];
  changes.changed = modified_ = true;
  return changes;
}

TreeChanges EditModel::SetAllScripts(bool on) {
  return SwitchRecords([](const TFontStruct&) { return true; }, on);
}

TreeChanges EditModel::SetScriptForAll(int charset, bool on) {
  return SwitchRecords([charset](const TFontStruct& record) { return record.Charset == charset; }, on);
}

TreeChanges EditModel::SwitchRecords(const std::function<bool(const TFontStruct&)>& matches, bool on) {
  TreeChanges changes;
  std::vector<NodeId> faces;  // each face once, in list order
  std::unordered_set<NodeId> seen;
  for (int i = 0; i < fontList_.Count(); ++i) {
    TFontStruct& record = *fontList_.Item(i);
    if (!matches(record)) continue;
    record.Enabled = on;
    changes.changed = true;
    auto face = faceNodeOfRecordNode_.find(record.NodeItemId);
    if (face == faceNodeOfRecordNode_.end()) continue;
    changes.states.push_back({record.NodeItemId, on ? 2 : 1});
    if (seen.insert(face->second).second) faces.push_back(face->second);
  }
  // Each face's state once, after all its records changed: thousands of faces stay quick.
  for (NodeId face : faces) AddFaceState(changes, face);
  if (changes.changed) modified_ = true;
  return changes;
}

std::vector<std::string> EditModel::FixedEntries(const std::string& v) {
  return {"Helvetica," + v + "=Arial," + v,      "Helvetica,0=Arial," + v,
          "Times," + v + "=Times New Roman," + v, "Times,0=Times New Roman," + v,
          "Courier," + v + "=Courier New," + v,   "Courier,0=Courier New," + v};
}

const SubstTable& EditModel::ComposeTable(const std::string& defLangVal) {
  TableEditor table(compare_, table_);
  if (modified_) {
    for (int i = 0; i < fontList_.Count(); ++i) {
      const TFontStruct& record = *fontList_.Item(i);
      const std::string n = std::to_string(record.Charset);
      const std::string script = ScriptEntry(record.FaceName, scriptSuffixes_.ValueOr(n, ""), record.Charset);
      const std::string western = WesternEntry(record.FaceName, record.Charset);
      if (record.Enabled) {
        table.Add(script);
      } else {
        table.Remove(script);
      }
      if (record.WesternMapped) {
        table.Add(western);
      } else {
        table.Remove(western);
      }
    }
  }
  // Removed first, then added, so that the six end the table in their order whatever it held.
  const std::vector<std::string> fixed = FixedEntries(defLangVal.empty() ? kBuiltInDefLangVal : defLangVal);
  for (const std::string& entry : fixed) table.Remove(entry);
  for (const std::string& entry : fixed) table.Add(entry);
  table.Commit();
  return table_;
}

void EditModel::RereadTable(TableStore& store) {
  SubstTable previous;
  previous.swap(table_);
  try {
    store.ReadTable(table_);
  } catch (...) {
    table_.swap(previous);
    throw;
  }
}

void EditModel::RebuildTree(TreeView& tree, Fonts& fonts, bool handleAllocated) {
  fontList_.Clear();
  BuildTree(tree, fonts, handleAllocated);
}

}  // namespace sorel
