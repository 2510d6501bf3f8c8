// A sorted list of texts without repeats, ordered and matched by the locale-aware ignore-case comparison.
#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/ignore_case_index.h"
#include "platform/text_compare.h"

namespace sorel {

// Texts in CompareIgnoreCase order. A text equal to one already held (CompareIgnoreCase == 0) is
// not added again, so "Arial" and "ARIAL" are one element: the first one added. Holds the font
// names, the scripts of one face and the script names of all faces.
class SortedTextList {
 public:
  // compare must outlive the list.
  explicit SortedTextList(TextCompare& compare) : compare_(&compare), keys_(compare) {}

  // Inserts text at its sorted place and returns true; when an equal text is already held,
  // nothing changes and it returns false.
  bool Add(const std::string& text);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  // index must be below Count().
  const std::string& operator[](int index) const { return items_[index]; }
  const std::vector<std::string>& Items() const { return items_; }
  // Index of the text equal to text, or -1.
  int IndexOf(const std::string& text) const;

  // For texts of the form name "=" value: the index of the first element whose name (the text
  // before its first "=") equals name, letter case ignored, or -1. Elements without "=" have none.
  int IndexOfName(const std::string& name) const;
  // The value (the text after the first "=") of that element; "" when there is none.
  std::string Value(const std::string& name) const;

 private:
  // First index whose text does not sort before text.
  int LowerBound(const std::string& text) const;

  TextCompare* compare_;
  std::vector<std::string> items_;
  // Every element by its ignore-case key: a repeated add costs one key instead of a search.
  IgnoreCaseIndex keys_;
  // Every text added as it was written, held or not: the very same text again, the common case
  // for script names, costs no key at all.
  std::unordered_set<std::string> seen_;
};

}  // namespace sorel
