// Texts found by their ignore-case key: the one index behind the table editor, the tree and the sorted lists.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/text_compare.h"

namespace sorel {

// Texts held by TextCompare::IgnoreCaseKey, so that two texts are one entry exactly when
// CompareIgnoreCase finds them equal (letter case and whatever else the locale folds), and a
// lookup costs one key instead of a comparison with every text. Only keys are held, never the
// texts. Each held text carries a position the caller gives (its place in the caller's own list);
// the index neither checks nor shifts positions. Equal texts are held in the order added: First
// gives the first of them and RemoveFirst takes it, as a front-to-back scan would find it.
// Filled from a list, the index is a snapshot: later changes of the list are not seen.
class IgnoreCaseIndex {
 public:
  // Key of a text as the index files it: computing it is the costly step (the system's
  // LCMapStringA), so a caller that asks and then adds computes it once. A key serves every
  // index over the same comparison.
  class Key {
    friend class IgnoreCaseIndex;
    std::string bytes_;
  };
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // compare must outlive the index.
  explicit IgnoreCaseIndex(TextCompare& compare) : compare_(&compare) {}
  // Every element of texts, at its index in texts, repeats included.
  IgnoreCaseIndex(TextCompare& compare, const std::vector<std::string>& texts);

  // Throws whatever TextCompare::IgnoreCaseKey throws; the index is unchanged then.
  Key KeyOf(const std::string& text) const;

  bool Has(const Key& key) const { return held_.count(key.bytes_) != 0; }
  // Position of the first held text of key, or npos.
  std::size_t First(const Key& key) const;
  // Holds one more text of key at position, after those of key already held. A caller that only
  // asks Has leaves the position 0.
  void Add(Key key, std::size_t position = 0);
  // Holds a text of key at position only when none is held yet; returns whether it did.
  bool AddNew(Key key, std::size_t position = 0);
  // Drops the first held text of key and returns its position; npos when none is held.
  std::size_t RemoveFirst(const Key& key);
  void Clear() { held_.clear(); }

  // The same for a text whose key is not at hand.
  bool Has(const std::string& text) const { return Has(KeyOf(text)); }
  std::size_t First(const std::string& text) const { return First(KeyOf(text)); }
  void Add(const std::string& text, std::size_t position = 0) { Add(KeyOf(text), position); }
  bool AddNew(const std::string& text, std::size_t position = 0) { return AddNew(KeyOf(text), position); }
  std::size_t RemoveFirst(const std::string& text) { return RemoveFirst(KeyOf(text)); }

 private:
  // A key is nearly always held once: its first position needs no allocation of its own.
  struct Positions {
    std::size_t first;
    std::vector<std::size_t> later;
  };

  TextCompare* compare_;
  std::unordered_map<std::string, Positions> held_;
};

}  // namespace sorel
