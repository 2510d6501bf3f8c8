// The editing model: the font records, the tree of faces and scripts they are shown in, the table
// they came from, the unsaved-changes flag and the commands on them, free of any window.
#include "engine/edit_model.h"

#include <algorithm>
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

void EditModel::EnumerateFonts(Fonts& fonts, bool canEnumerate) {
  sorel::EnumerateFonts(fonts, canEnumerate, fontNames_);
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

void EditModel::BuildTree(Fonts& fonts, bool canEnumerate) {
  FontTreeContext context{fonts,         compare_,  canEnumerate, fontNames_,      faceScripts_,
                          scriptNames_, fontList_, table_,       scriptSuffixes_, lastId_};
  // A failing build still leaves the items made so far linked to their records.
  struct Link {
    EditModel& model;
    ~Link() { model.LinkItems(); }
  } link{*this};
  sorel::BuildFontTree(context, faces_);
}

void EditModel::LinkItems() {
  recordOf_.clear();
  faceOfScript_.clear();
  faceOf_.clear();
  for (std::size_t i = 0; i < faces_.size(); ++i) {
    faceOf_[faces_[i].id].index = i;
    for (const ScriptItem& script : faces_[i].scripts) faceOfScript_[script.id] = faces_[i].id;
  }
  for (int i = 0; i < fontList_.Count(); ++i) {
    TFontStruct* record = fontList_.Item(i);
    auto face = faceOfScript_.find(record->Item);
    if (face == faceOfScript_.end()) continue;
    recordOf_[record->Item] = record;
    faceOf_[face->second].records.push_back(record);
  }
}

const TFontStruct* EditModel::RecordOf(ItemId item) const {
  auto it = recordOf_.find(item);
  return it == recordOf_.end() ? nullptr : it->second;
}

// The model owns the records; the const lookup only keeps readers from changing them.
TFontStruct* EditModel::Record(ItemId item) { return const_cast<TFontStruct*>(RecordOf(item)); }

// Only for a script that has a record: its face is linked, and a face has a handful of scripts.
ScriptItem& EditModel::Script(ItemId script) {
  std::vector<ScriptItem>& scripts = faces_[faceOf_.at(faceOfScript_.at(script)).index].scripts;
  return *std::find_if(scripts.begin(), scripts.end(), [script](const ScriptItem& s) { return s.id == script; });
}

Check EditModel::FaceCheck(const FaceRecords& face) const {
  bool anyOn = false, anyOff = false;
  for (const TFontStruct* record : face.records) (record->Enabled ? anyOn : anyOff) = true;
  if (!anyOn) return Check::Off;
  return anyOff ? Check::Mixed : Check::On;
}

void EditModel::SetCheck(TreeChanges& changes, ItemId item, Check check) {
  if (auto face = faceOf_.find(item); face != faceOf_.end()) {
    faces_[face->second.index].check = check;
  } else {
    Script(item).check = check;
  }
  changes.checks.push_back({item, check});
}

void EditModel::UpdateFaceCheck(TreeChanges& changes, ItemId face) {
  auto it = faceOf_.find(face);
  if (it != faceOf_.end()) SetCheck(changes, face, FaceCheck(it->second));
}

bool EditModel::ToggleSwitchesOff(ItemId item) const {
  if (const TFontStruct* record = RecordOf(item)) return record->Enabled;
  auto face = faceOf_.find(item);
  return face != faceOf_.end() && FaceCheck(face->second) == Check::On;
}

TreeChanges EditModel::Toggle(ItemId item) {
  TreeChanges changes;
  if (TFontStruct* record = Record(item)) {
    record->Enabled = !record->Enabled;
    SetCheck(changes, item, record->Enabled ? Check::On : Check::Off);
    UpdateFaceCheck(changes, faceOfScript_.at(item));
  } else if (auto face = faceOf_.find(item); face != faceOf_.end() && !face->second.records.empty()) {
    // Fully on goes off; none or mixed goes on.
    const bool on = FaceCheck(face->second) != Check::On;
    const Check check = on ? Check::On : Check::Off;
    for (TFontStruct* each : face->second.records) {
      each->Enabled = on;
      SetCheck(changes, each->Item, check);
    }
    SetCheck(changes, item, check);
  } else {
    return changes;
  }
  changes.changed = modified_ = true;
  return changes;
}

bool EditModel::RemoveWesternMark(TreeChanges& changes, TFontStruct& record) {
  std::string& text = Script(record.Item).text;
  const std::size_t at = text.find(kWesternMark);
  if (at == std::string::npos) return false;
  text.erase(at, std::char_traits<char>::length(kWesternMark));
  changes.texts.push_back({record.Item, text});
  return true;
}

TreeChanges EditModel::ToggleWestern(ItemId script) {
  TreeChanges changes;
  TFontStruct* record = Record(script);
  if (!record) return changes;
  const ItemId face = faceOfScript_.at(script);
  if (record->WesternMapped) {
    record->WesternMapped = false;
    RemoveWesternMark(changes, *record);
  } else {
    // A face's Western requests go to one script only: the mark moves here from any other.
    for (TFontStruct* other : faceOf_.at(face).records) {
      RemoveWesternMark(changes, *other);
      other->WesternMapped = false;
    }
    std::string& text = Script(script).text;
    text += kWesternMark;
    changes.texts.push_back({script, text});
    record->WesternMapped = true;
  }
  // The tree keeps a face's scripts in text order; the controls sort only when asked.
  SortScripts(compare_, faces_[faceOf_.at(face).index].scripts);
  changes.resortScriptsOf = face;
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
  std::vector<ItemId> faces;  // each face once, in list order
  std::unordered_set<ItemId> seen;
  for (int i = 0; i < fontList_.Count(); ++i) {
    TFontStruct& record = *fontList_.Item(i);
    if (!matches(record)) continue;
    record.Enabled = on;
    changes.changed = true;
    auto face = faceOfScript_.find(record.Item);
    if (face == faceOfScript_.end()) continue;
    SetCheck(changes, record.Item, on ? Check::On : Check::Off);
    if (seen.insert(face->second).second) faces.push_back(face->second);
  }
  // Each face's check once, after all its records changed: thousands of faces stay quick.
  for (ItemId face : faces) UpdateFaceCheck(changes, face);
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

void EditModel::RebuildTree(Fonts& fonts, bool canEnumerate) {
  fontList_.Clear();
  BuildTree(fonts, canEnumerate);
}

}  // namespace sorel
