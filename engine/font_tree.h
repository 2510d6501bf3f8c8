// The font tree as a value (a face per installed face, a script per character set) and the
// records of which script entries the table holds.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/fontsub_types.h"
#include "engine/ignore_case_index.h"
#include "engine/key_value_list.h"
#include "engine/sorted_text_list.h"
#include "engine/subst_table.h"
#include "platform/fonts.h"
#include "platform/text_compare.h"

namespace sorel {

// One script of a face as the tree shows it.
struct ScriptItem {
  ItemId id = 0;
  std::string text;  // ScriptNodeText's
  Check check = Check::Off;
};

// One face with its scripts in the order the tree shows them.
struct FaceItem {
  ItemId id = 0;
  std::string face;
  Check check = Check::None;
  std::vector<ScriptItem> scripts;
};

// What building the tree reads and fills; the editing model owns all of it.
struct FontTreeContext {
  Fonts& fonts;
  TextCompare& compare;
  bool canEnumerate;  // false: the system is not asked, so no face gets a script
  SortedTextList& FontNames;
  SortedTextList& FaceScripts;
  SortedTextList& ScriptNames;
  TFontList& FontList;
  const sorel::SubstTable& SubstTable;
  const KeyValueList& ScriptSuffixes;  // character-set number -> suffix of the per-script name
  ItemId& lastId;                      // the last id given; each new item takes the next one
};

// The script entry of a face in character set charset: face " " suffix "," N "=" face "," N.
std::string ScriptEntry(const std::string& face, const std::string& suffix, int charset);
// The Western entry mapping the face's character set 0 onto charset: face ",0=" face "," N.
std::string WesternEntry(const std::string& face, int charset);
// A script's text: face " (" script ")", or face " (Script: " N ")" when script is empty,
// followed by " -> [Western]" when western.
std::string ScriptNodeText(const std::string& face, std::string_view script, int charset, bool western);

// Appends to face.scripts a script and a FontList record for every character set of face.face
// but 0, in FaceScripts order, with each record's Enabled and WesternMapped read from table (the
// substitution table indexed, so its answers are HasEntry's over the table). Returns None when
// the system may not be asked (nothing done), otherwise Off when no script is enabled, On when
// all are, Mixed when some are.
Check ClassifyFont(FontTreeContext& context, const IgnoreCaseIndex& table, FaceItem& face);

// Sorts a face's scripts by text as the tree control sorts its nodes (lstrcmpA); equal texts keep
// their order.
void SortScripts(TextCompare& compare, std::vector<ScriptItem>& scripts);

// Replaces faces with the tree built from FontNames: faces without scripts are dropped and each
// face's scripts sorted by text. A failing enumeration leaves the faces made so far, unsorted and
// unpruned, with their records. FontList is not cleared here; a rebuild clears it first.
void BuildFontTree(FontTreeContext& context, std::vector<FaceItem>& faces);

}  // namespace sorel
