// Ordered lists of "key=value" lines with lookup by key, letter case ignored.
#pragma once
#include <optional>
#include <string>
#include <vector>

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

}  // namespace sorel
