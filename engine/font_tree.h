// The font tree (a node per face, a child per script) and the records of which script entries the table holds.
#pragma once
#include <string>
#include <string_view>

#include "engine/fontsub_types.h"
#include "engine/ignore_case_index.h"
#include "engine/key_value_list.h"
#include "engine/sorted_text_list.h"
#include "engine/subst_table.h"
#include "ui/controls.h"
#include "platform/fonts.h"
#include "platform/text_compare.h"

namespace sorel {

// What building the tree reads and fills; the main window owns all of it.
struct FontTreeContext {
  TreeView& tree;
  Fonts& fonts;
  TextCompare& compare;
  bool handleAllocated;  // the main window has its system window; nothing is enumerated without it
  SortedTextList& FontNames;
  SortedTextList& FaceScripts;
  SortedTextList& ScriptNames;
  TFontList& FontList;
  const sorel::SubstTable& SubstTable;
  const KeyValueList& ScriptSuffixes;  // character-set number -> suffix of the per-script name
};

// The script entry of a face in character set charset: face " " suffix "," N "=" face "," N.
std::string ScriptEntry(const std::string& face, const std::string& suffix, int charset);
// The Western entry mapping the face's character set 0 onto charset: face ",0=" face "," N.
std::string WesternEntry(const std::string& face, int charset);
// A script node's text: face " (" script ")", or face " (Script: " N ")" when script is empty,
// followed by " -> [Western]" when western.
std::string ScriptNodeText(const std::string& face, std::string_view script, int charset, bool western);

// Adds under fontNode a script node and a FontList record for every character set of face but 0,
// in FaceScripts order, with each record's Enabled and WesternMapped read from table (the
// substitution table indexed, so its answers are HasEntry's over the table). Returns -1 when the
// main window has no system window (nothing done), otherwise 0 when no script is enabled, 1 when
// all are, 2 when some are.
int ClassifyFont(FontTreeContext& context, const IgnoreCaseIndex& table, const std::string& face, NodeId fontNode);

// Clears the tree and rebuilds it from FontNames, dropping faces without script nodes and sorting
// each face's script nodes by text (lstrcmpA). FontList is not cleared here; a rebuild clears it first.
void BuildFontTree(FontTreeContext& context);

}  // namespace sorel
