// Ordered lists of "key=value" lines with lookup by key, letter case ignored.
#include "engine/key_value_list.h"
#include "platform/text.h"

#include <algorithm>

namespace sorel {

namespace {

bool SameKey(const std::string& line, std::size_t keyLength, const std::string& key) {
  return keyLength == key.size() && AsciiEqualIgnoreCase(std::string_view(line).substr(0, keyLength), key);
}

}  // namespace

int KeyValueList::IndexOfName(const std::string& key) const {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::size_t eq = lines[i].find('=');
    if (eq != std::string::npos && SameKey(lines[i], eq, key)) return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::string> KeyValueList::Value(const std::string& key) const {
  int i = IndexOfName(key);
  if (i < 0) return std::nullopt;
  return lines[i].substr(lines[i].find('=') + 1);
}

std::string KeyValueList::ValueOr(const std::string& key, const std::string& def) const {
  return Value(key).value_or(def);
}

void KeyValueList::Put(const std::string& key, const std::string& value) {
  int i = IndexOfName(key);
  if (value.empty()) {
    if (i >= 0) lines.erase(lines.begin() + i);
  } else if (i >= 0) {
    lines[i] = key + "=" + value;
  } else {
    lines.push_back(key + "=" + value);
  }
}

void KeyValueList::Set(const std::string& key, const std::string& value) {
  int i = IndexOfName(key);
  if (i >= 0) {
    lines[i] = key + "=" + value;
  } else {
    lines.push_back(key + "=" + value);
  }
}

// The profile functions take the empty section name for the lines before the first header,
// which belong to no section at all.
void ReadSection(ProfileFiles& profiles, const std::string& file, const std::string& section, KeyValueList& list) {
  if (section.empty()) return;
  for (const auto& key : profiles.SectionKeys(file, section)) {
    list.Put(key, profiles.ReadString(file, section, key, ""));
  }
}

}  // namespace sorel
