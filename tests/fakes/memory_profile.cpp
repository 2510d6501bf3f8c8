// Profile (ini) files over the in-memory file system, read with the profile semantics of Wine 8.
#include "tests/fakes/memory_profile.h"

#include <cstddef>
#include <utility>

#include "platform/profile_syntax.h"

namespace sorel {

namespace {

// Wine matches profile names with a comparison that folds ASCII letters only.
bool SameName(const std::string& a, const std::string& b) { return FoldProfileName(a) == FoldProfileName(b); }

const ProfileSection* FindSection(const ProfileData& data, const std::string& name) {
  for (const auto& section : data.sections) {
    if (SameName(UpToZero(section.name), name)) return &section;
  }
  return nullptr;
}

// How the system copies a value or default into the caller's buffer: one pair of enclosing quotes
// goes, then the text is cut to the buffer. The closing quote is dropped only when the buffer
// could have held the whole rest, so a quoted value of exactly the buffer's size loses its last
// character as well.
std::string CopyEntry(std::string value, std::size_t buffer) {
  bool quoted = HasEnclosingQuotes(value);
  if (quoted) value.erase(0, 1);
  std::string out = value.substr(0, buffer - 1);
  if (quoted && buffer >= value.size()) out.pop_back();
  return out;
}

// A reader of a zero-separated list stops at the first empty string.
std::vector<std::string> UpToEmpty(std::vector<std::string> names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) {
      names.resize(i);
      break;
    }
  }
  return names;
}

}  // namespace

ProfileData ParseProfile(const std::string& text) {
  ProfileData data;
  data.sections.push_back({});
  bool havePrevious = false;  // a key was added to the current section
  bool previousNamed = false;

  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t start = pos;
    while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
    std::string line = TrimProfileBlanks(text.substr(start, pos - start));
    while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
    if (line.empty()) continue;

    std::string header;
    if (ParseProfileHeader(line, header)) {
      data.sections.push_back({std::move(header), {}});
      havePrevious = false;
      continue;
    }

    ProfileKey key;
    std::string value;
    if (ParseProfileKeyLine(line, key.name, value)) key.value = std::move(value);
    // Wine drops a nameless key that follows another nameless key.
    if (!key.name.empty() || !havePrevious || previousNamed) {
      previousNamed = !key.name.empty() && key.name[0] != '\0';
      havePrevious = true;
      data.sections.back().keys.push_back(std::move(key));
    }
  }
  return data;
}

std::vector<std::string> ProfileSectionNames(const ProfileData& data) {
  std::vector<std::string> names;
  std::size_t room = kProfileListBuffer - 1;  // one byte is kept for the list's final zero
  for (const auto& section : data.sections) {
    std::string name = UpToZero(section.name);
    if (name.empty()) continue;
    if (name.size() + 1 >= room) {
      names.push_back(name.substr(0, room - 1));
      break;
    }
    names.push_back(name);
    room -= name.size() + 1;
  }
  return UpToEmpty(std::move(names));
}

std::vector<std::string> ProfileSectionKeys(const ProfileData& data, const std::string& section) {
  std::vector<std::string> names;
  const ProfileSection* found = FindSection(data, UpToZero(section));
  if (!found) return names;
  std::size_t room = kProfileListBuffer;
  for (const auto& key : found->keys) {
    if (room <= 2) break;
    std::string name = UpToZero(key.name);
    if (!key.value) continue;  // lines without "=", blank names included
    if (!name.empty() && name[0] == ';') continue;
    name = name.substr(0, room - 2);
    room -= name.size() + 1;
    names.push_back(name);
    if (room < 2) break;
  }
  return UpToEmpty(std::move(names));
}

std::vector<std::string> ProfileSectionLines(const ProfileData& data, const std::string& section) {
  std::vector<std::string> lines;
  const ProfileSection* found = FindSection(data, UpToZero(section));
  if (!found) return lines;
  for (const auto& key : found->keys) {
    const std::string name = UpToZero(key.name);
    if (name.empty() && !key.value) continue;
    if (!name.empty() && name[0] == ';') continue;
    lines.push_back(key.value ? name + "=" + UpToZero(*key.value) : name);
  }
  return lines;
}

std::string ProfileReadString(const ProfileData& data, const std::string& section, const std::string& key,
                              const std::string& def) {
  // Trailing spaces (spaces only) leave the default, but its first character always stays.
  std::string fallback = UpToZero(def);
  std::size_t last = fallback.size();
  while (last > 1 && fallback[last - 1] == ' ') --last;
  fallback.resize(last);

  const std::string* value = &fallback;
  if (const ProfileSection* found = FindSection(data, TrimProfileBlanks(UpToZero(section)))) {
    std::string wanted = TrimProfileBlanks(UpToZero(key));
    for (const auto& k : found->keys) {
      if (SameName(UpToZero(k.name), wanted)) {
        if (k.value) value = &*k.value;
        break;
      }
    }
  }
  return CopyEntry(UpToZero(*value), kProfileValueBuffer);
}

MemoryProfileFiles::MemoryProfileFiles(MemoryFileSystem& files, std::string windowsDir)
    : files_(files), windowsDir_(std::move(windowsDir)) {}

std::string MemoryProfileFiles::Resolve(const std::string& file) const {
  if (file.find_first_of("\\/") != std::string::npos) return file;
  if (!windowsDir_.empty() && windowsDir_.back() == '\\') return windowsDir_ + file;
  return windowsDir_ + "\\" + file;
}

ProfileData MemoryProfileFiles::Load(const std::string& file) {
  std::string path = Resolve(file);
  if (!files_.Exists(path)) return ParseProfile("");
  try {
    return ParseProfile(files_.ReadAll(path));
  } catch (const std::exception&) {
    return ParseProfile("");  // the profile functions report nothing; an unreadable file is empty
  }
}

std::vector<std::string> MemoryProfileFiles::SectionNames(const std::string& file) {
  return ProfileSectionNames(Load(file));
}

std::vector<std::string> MemoryProfileFiles::SectionKeys(const std::string& file, const std::string& section) {
  return ProfileSectionKeys(Load(file), section);
}

std::vector<std::string> MemoryProfileFiles::SectionLines(const std::string& file, const std::string& section) {
  return ProfileSectionLines(Load(file), section);
}

std::string MemoryProfileFiles::ReadString(const std::string& file, const std::string& section,
                                           const std::string& key, const std::string& def) {
  return ProfileReadString(Load(file), section, key, def);
}

}  // namespace sorel
