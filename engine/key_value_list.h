// Ordered lists of "key=value" lines with lookup by key, letter case ignored.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace sorel {

// Keys are program names and numbers, so letter case is folded for ASCII only; the first line
// whose key matches wins. A line without "=" has no key.
class KeyValueList {
 public:
  std::vector<std::string> lines;

  int IndexOfName(const std::string& key) const;
  std::optional<std::string> Value(const std::string& key) const;
  std::string ValueOr(const std::string& key, const std::string& def) const;
  // Replaces the line of key, or appends one; an empty value removes the line instead.
  void Put(const std::string& key, const std::string& value);
  // Replaces the line of key, or appends one, whatever the value.
  void Set(const std::string& key, const std::string& value);
  void Clear() { lines.clear(); }
  bool Empty() const { return lines.empty(); }
};

// Reads a section key by key in file order into list: each key's value (its first occurrence)
// replaces that key's line or is appended; an empty value removes the line. The list is not
// emptied first. A missing file or section, or the empty name, reads nothing.
void ReadSection(ProfileFiles& profiles, const std::string& file, const std::string& section, KeyValueList& list);

}  // namespace sorel
