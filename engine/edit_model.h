// The editing model: the font records, the tree of faces and scripts they are shown in, the table
// they came from, the unsaved-changes flag and the commands on them, free of any window. The
// main window shows the tree and what each command reports.
#pragma once
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/font_tree.h"
#include "engine/fontsub_types.h"
#include "engine/key_value_list.h"
#include "engine/sorted_text_list.h"
#include "engine/subst_table.h"
#include "platform/fonts.h"
#include "platform/profile.h"
#include "platform/text_compare.h"

namespace sorel {

// What a command changed in the tree: new checks and texts of items, and the face whose scripts
// are in a new order because a text changed. The window applies it as it stands.
struct TreeChanges {
  struct NewCheck {
    ItemId item;
    Check check;
  };
  struct NewText {
    ItemId item;
    std::string text;
  };
  std::vector<NewCheck> checks;
  std::vector<NewText> texts;
  ItemId resortScriptsOf = 0;  // a face whose scripts now sort by text otherwise; 0: none
  bool changed = false;        // the command changed a record, so the edits are unsaved
};

class EditModel {
 public:
  // compare must outlive the model.
  explicit EditModel(TextCompare& compare);

  // --- Filling, in the main window's creation order.
  // Empties the font names, the scripts of the last face and the script names.
  void ClearFontLists();
  // Refills the font names from the system; nothing when canEnumerate is false.
  void EnumerateFonts(Fonts& fonts, bool canEnumerate);
  // Empties the records, the table and the script suffixes.
  void ClearTableState();
  // Reads the "IniStrings" section of the language file into the script suffixes.
  void ReadScriptSuffixes(ProfileFiles& profiles, const std::string& langResFile);
  // Appends the stored table; errors of the store propagate with whatever was read so far kept.
  void ReadTable(TableStore& store);
  // Builds the tree from the font names and the table, making a record per script; no face has
  // a script when canEnumerate is false. A failing build keeps, and links, what it made.
  void BuildTree(Fonts& fonts, bool canEnumerate);

  // --- What the window reads.
  bool Modified() const { return modified_; }
  const TFontList& FontList() const { return fontList_; }
  const SubstTable& Table() const { return table_; }
  const SortedTextList& FontNames() const { return fontNames_; }
  const SortedTextList& ScriptNames() const { return scriptNames_; }
  const KeyValueList& ScriptSuffixes() const { return scriptSuffixes_; }
  // The tree as built and changed since: faces in display order, each with its scripts.
  const std::vector<FaceItem>& Faces() const { return faces_; }
  // The record a script shows; nullptr for a face, no item or an item of an older tree.
  const TFontStruct* RecordOf(ItemId item) const;
  // What toggling item does: true when it switches off (the script, or every script of the face,
  // is on), false when it switches on.
  bool ToggleSwitchesOff(ItemId item) const;

  // --- Commands. Each reports what the tree must show; none of them writes anything.
  void MarkModified() { modified_ = true; }
  void ClearModified() { modified_ = false; }
  // A script flips its record; a face switches all its scripts off when all are on, on
  // otherwise. Any other item: nothing.
  TreeChanges Toggle(ItemId item);
  // Maps the face's Western requests onto the script's character set, or removes the mapping
  // when it is already there. A face maps onto one script at most. A face: nothing.
  TreeChanges ToggleWestern(ItemId script);
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
  void RebuildTree(Fonts& fonts, bool canEnumerate);

  // The fixed entries for character set v, in the order they end the table.
  static std::vector<std::string> FixedEntries(const std::string& v);

 private:
  struct FaceRecords {
    std::size_t index;                  // in faces_
    std::vector<TFontStruct*> records;  // in list order
  };
  TFontStruct* Record(ItemId item);
  ScriptItem& Script(ItemId script);
  Check FaceCheck(const FaceRecords& face) const;
  // Sets an item's check in the tree and reports it.
  void SetCheck(TreeChanges& changes, ItemId item, Check check);
  // The face's check after its records changed.
  void UpdateFaceCheck(TreeChanges& changes, ItemId face);
  // Links every record to its script and face after a build.
  void LinkItems();
  // Switches the records that match on or off.
  TreeChanges SwitchRecords(const std::function<bool(const TFontStruct&)>& matches, bool on);
  // Removes the first Western mark from a script's text; true when there was one.
  bool RemoveWesternMark(TreeChanges& changes, TFontStruct& record);

  TextCompare& compare_;
  bool modified_ = false;
  SortedTextList fontNames_, faceScripts_, scriptNames_;
  KeyValueList scriptSuffixes_;
  TFontList fontList_;
  SubstTable table_;
  std::vector<FaceItem> faces_;
  ItemId lastId_ = 0;  // never reset, so that no item of an older tree names one of the new
  std::unordered_map<ItemId, TFontStruct*> recordOf_;
  std::unordered_map<ItemId, ItemId> faceOfScript_;
  std::unordered_map<ItemId, FaceRecords> faceOf_;
};

}  // namespace sorel
