// Texts found by their ignore-case key: the one index behind the table editor, the tree and the sorted lists.
#include "engine/ignore_case_index.h"

#include <utility>

namespace sorel {

IgnoreCaseIndex::IgnoreCaseIndex(TextCompare& compare, const std::vector<std::string>& texts) : compare_(&compare) {
  held_.reserve(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) Add(texts[i], i);
}

IgnoreCaseIndex::Key IgnoreCaseIndex::KeyOf(const std::string& text) const {
  Key key;
  key.bytes_ = compare_->IgnoreCaseKey(text);
  return key;
}

std::size_t IgnoreCaseIndex::First(const Key& key) const {
  auto it = held_.find(key.bytes_);
  return it == held_.end() ? npos : it->second.first;
}

void IgnoreCaseIndex::Add(Key key, std::size_t position) {
  auto [it, added] = held_.try_emplace(std::move(key.bytes_), Positions{position, {}});
  if (!added) it->second.later.push_back(position);
}

bool IgnoreCaseIndex::AddNew(Key key, std::size_t position) {
  return held_.try_emplace(std::move(key.bytes_), Positions{position, {}}).second;
}

std::size_t IgnoreCaseIndex::RemoveFirst(const Key& key) {
  auto it = held_.find(key.bytes_);
  if (it == held_.end()) return npos;
  Positions& positions = it->second;
  const std::size_t removed = positions.first;
  if (positions.later.empty()) {
    held_.erase(it);  // an empty entry would still answer Has
  } else {
    // Repeats are rare and few, so shifting them down costs next to nothing.
    positions.first = positions.later.front();
    positions.later.erase(positions.later.begin());
  }
  return removed;
}

}  // namespace sorel
