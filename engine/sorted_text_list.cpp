// A sorted list of texts without repeats, ordered and matched by the locale-aware ignore-case comparison.
#include "engine/sorted_text_list.h"

namespace sorel {

int SortedTextList::LowerBound(const std::string& text) const {
  int low = 0, high = Count();
  while (low < high) {
    int middle = low + (high - low) / 2;
    if (compare_->CompareIgnoreCase(items_[middle], text) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

bool SortedTextList::Add(const std::string& text) {
  if (seen_.count(text)) return false;
  IgnoreCaseIndex::Key key = keys_.KeyOf(text);
  if (keys_.Has(key)) {
    seen_.insert(text);
    return false;
  }
  // The comparison may fail (the system's may throw): find the place before changing anything.
  auto at = items_.begin() + LowerBound(text);
  keys_.Add(std::move(key));
  seen_.insert(text);
  items_.insert(at, text);
  return true;
}

void SortedTextList::Clear() {
  items_.clear();
  keys_.Clear();
  seen_.clear();
}

int SortedTextList::IndexOf(const std::string& text) const {
  if (!keys_.Has(text)) return -1;
  int index = LowerBound(text);
  return index < Count() && compare_->CompareIgnoreCase(items_[index], text) == 0 ? index : -1;
}

int SortedTextList::IndexOfName(const std::string& name) const {
  const std::string key = compare_->IgnoreCaseKey(name);
  for (int i = 0; i < Count(); ++i) {
    std::size_t eq = items_[i].find('=');
    if (eq != std::string::npos && compare_->IgnoreCaseKey(items_[i].substr(0, eq)) == key) return i;
  }
  return -1;
}

std::string SortedTextList::Value(const std::string& name) const {
  int index = IndexOfName(name);
  return index < 0 ? std::string() : items_[index].substr(items_[index].find('=') + 1);
}

}  // namespace sorel
