// Sample sets: the "Samplez" sections of the language file, the menu that offers them, and the
// sample text that belongs to a character set.
#pragma once
#include <string>
#include <vector>

#include "engine/key_value_list.h"
#include "platform/profile.h"

namespace sorel {

// One set as its menu item shows it.
struct SampleSetItem {
  std::string caption;  // the section name from its ninth character, at most 100 characters
  std::string section;
  int tag = 0;          // its place among the sets, from 0
  bool checked = false;
};

struct SampleSets {
  std::vector<SampleSetItem> items;  // in file order
  std::string chosenSection;         // "" when the file has no set
};

// The sections of file whose names begin with "Samplez" (letter case counts), in file order. The
// items whose caption is chosenName exactly are checked and the last of them is chosen; when none
// is, the first set is checked and chosen.
SampleSets ListSampleSets(ProfileFiles& profiles, const std::string& file, const std::string& chosenName);

// The sample for a character set: its own entry, or the entry of "0" when that is empty.
std::string SampleFor(const KeyValueList& sampleTexts, int charset);

}  // namespace sorel
