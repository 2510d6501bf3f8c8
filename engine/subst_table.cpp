// The substitution table's list helpers and its store in the registry (NT) or win.ini (95/98).
#include "engine/subst_table.h"

#include <optional>

#include "engine/text_lines.h"
#include "platform/errors.h"

namespace sorel {

const char* const kFontSubstitutesKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
const char* const kFontSubstitutesSection = "FontSubstitutes";

namespace {

const char* const kWinIni = "win.ini";
const char* const kSectionHeader = "[FontSubstitutes]";

// Removes a leftover temporary file without letting a second failure hide the first.
void RemoveQuietly(FileSystem& files, const std::string& path) {
  try {
    files.Remove(path);
  } catch (...) {
  }
}

}  // namespace

bool HasEntry(TextCompare& compare, const SubstTable& list, const std::string& text) {
  for (const auto& element : list) {
    if (compare.SameText(element, text)) return true;
  }
  return false;
}

void AddEntry(TextCompare& compare, SubstTable& list, const std::string& text) {
  if (!HasEntry(compare, list, text)) list.push_back(text);
}

void RemoveEntry(TextCompare& compare, SubstTable& list, const std::string& text) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (compare.SameText(*it, text)) {
      list.erase(it);
      return;
    }
  }
}

int FindName(TextCompare& compare, const SubstTable& list, const std::string& name) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto eq = list[i].find('=');
    if (eq != std::string::npos && compare.SameText(list[i].substr(0, eq), name)) return static_cast<int>(i);
  }
  return -1;
}

std::string EnsureTrailingBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + "\\";
}

TableStore::TableStore(Registry& registry, ProfileFiles& profiles, FileSystem& files, SystemInfo& system,
                       TextCompare& compare, bool isNT)
    : registry_(registry), profiles_(profiles), files_(files), system_(system), compare_(compare), isNT_(isNT) {}

void TableStore::ReadTable(SubstTable& table) {
  if (isNT_) {
    ReadRegistry(table);
  } else {
    ReadWinIni(table);
  }
}

void TableStore::WriteTable(const SubstTable& table) {
  if (isNT_) {
    WriteRegistry(table);
  } else {
    WriteWinIni(table);
  }
}

void TableStore::ReadRegistry(SubstTable& table) {
  // Read access is enough: a user who may not change the table still sees it as it is.
  auto key = registry_.OpenForReading(RegRoot::LocalMachine, kFontSubstitutesKey);
  if (!key) return;
  for (const auto& value : key->Values()) {
    // Expandable, multi-string and binary values are not substitutions the program can show.
    if (value.type != RegType::String) continue;
    table.push_back(value.name + "=" + key->ReadString(value.name));
  }
}

void TableStore::ReadWinIni(SubstTable& table) {
  if (!WinIniFile) WinIniFile = std::make_unique<IniFile>(profiles_, kWinIni);
  for (const auto& name : WinIniFile->SectionKeys(kFontSubstitutesSection)) {
    // The profile functions give the first occurrence's value, so the first line of a name wins.
    const std::string value = WinIniFile->ReadString(kFontSubstitutesSection, name, "");
    const int index = FindName(compare_, table, name);
    if (value.empty()) {
      if (index >= 0) table.erase(table.begin() + index);
    } else if (index >= 0) {
      table[index] = name + "=" + value;
    } else {
      table.push_back(name + "=" + value);
    }
  }
}

void TableStore::WriteRegistry(const SubstTable& table) {
  auto key = registry_.Open(RegRoot::LocalMachine, kFontSubstitutesKey, false);
  if (!key) {
    // A key that is there but refuses writing must not pass for a save that worked.
    if (registry_.OpenForReading(RegRoot::LocalMachine, kFontSubstitutesKey))
      throw PlatformError(FailedToSetDataMessage(kFontSubstitutesKey));
    return;
  }

  // Writing first and deleting afterwards keeps every entry stored throughout, so a failure
  // part-way loses nothing that was there before.
  const auto stored = key->Values();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const auto eq = table[i].find('=');
    if (eq == std::string::npos) continue;
    const std::string name = table[i].substr(0, eq);
    // Only the first element of a name is written: it decides what the system gets.
    if (FindName(compare_, table, name) != static_cast<int>(i)) continue;
    const std::string data = table[i].substr(eq + 1);
    // Overwriting keeps a value's stored spelling; a string value that differs from the table's
    // name only in letter case is dropped first so the table's spelling is what remains. Should
    // the write then fail, the old value is put back: a failed save loses nothing.
    const RegValueInfo* respelled = nullptr;
    for (const auto& value : stored) {
      if (value.type == RegType::String && value.name != name && compare_.SameText(value.name, name)) {
        respelled = &value;
        break;
      }
    }
    if (!respelled) {
      key->WriteString(name, data);
      continue;
    }
    const std::string previous = key->ReadString(respelled->name);
    if (!key->DeleteValue(respelled->name)) {
      key->WriteString(name, data);  // still there: overwritten under its stored spelling
      continue;
    }
    try {
      key->WriteString(name, data);
    } catch (...) {
      try {
        key->WriteString(respelled->name, previous);
      } catch (...) {
      }
      throw;
    }
  }

  // String values the table no longer names: removed by the program, or added by someone else.
  // A value that refuses deletion stays; the registry layer reports that as no error.
  for (const auto& value : key->Values()) {
    if (value.type == RegType::String && FindName(compare_, table, value.name) < 0) key->DeleteValue(value.name);
  }
}

namespace {

// The blanks the profile functions drop around names.
bool IsProfileBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string TrimProfileBlanks(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && IsProfileBlank(text[first])) ++first;
  while (last > first && IsProfileBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// The profile functions' reading of a line: a section header is a line that, without the blanks
// around it, starts with "[" and holds a "]"; its name is the text up to the last "]", trimmed,
// and up to a zero byte. A "[" line without "]" is an ordinary key line, which the profile
// functions return as an entry of the section around it, so it must not end that section.
std::optional<std::string> SectionHeaderName(const std::string& line) {
  std::string trimmed = TrimProfileBlanks(line);
  std::size_t close = trimmed.rfind(']');
  if (trimmed.empty() || trimmed[0] != '[' || close == std::string::npos) return std::nullopt;
  std::string name = TrimProfileBlanks(trimmed.substr(1, close - 1));
  return name.substr(0, name.find('\0'));
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// The header of the section the profile functions read the table from: the first one whose name
// matches, ASCII letters ignoring case, as they match it, so the entries land where they are read.
bool TableStore::IsTableHeader(const std::string& line) {
  const auto name = SectionHeaderName(line);
  const std::string wanted = kFontSubstitutesSection;
  if (!name || name->size() != wanted.size()) return false;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (FoldAscii((*name)[i]) != FoldAscii(wanted[i])) return false;
  }
  return true;
}

void TableStore::WriteWinIni(const SubstTable& table) {
  const std::string folder = EnsureTrailingBackslash(system_.WindowsDirectory());
  // Without the Windows folder the path would be a bare "win.ini" in whatever folder is current.
  if (folder.empty()) throw PlatformError(std::string("Cannot open file \"") + kWinIni + "\"");
  const std::string path = folder + kWinIni;
  std::vector<std::string> lines;
  if (files_.Exists(path)) lines = SplitLines(files_.ReadAll(path));

  std::size_t header = 0;
  while (header < lines.size() && !IsTableHeader(lines[header])) ++header;

  if (header < lines.size()) {
    const std::size_t start = header + 1;
    std::size_t i = start;
    while (i < lines.size()) {
      if (lines[i].empty()) {
        ++i;  // empty lines keep sections apart; they stay after the new entries
      } else if (SectionHeaderName(lines[i])) {
        break;  // the next section
      } else {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(start), table.begin(), table.end());
  } else {
    // No section: every line of the file belongs to someone else, so the entries go into a new
    // section at the end. An empty table needs no section at all.
    if (table.empty()) return;
    if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
    lines.emplace_back(kSectionHeader);
    lines.insert(lines.end(), table.begin(), table.end());
  }

  // Written beside win.ini first and then put in place in one step, so a failed save never
  // leaves a truncated win.ini behind.
  const std::string temp = folder + kTempName;
  try {
    files_.WriteAll(temp, JoinLines(lines));
    files_.Replace(temp, path);
  } catch (...) {
    RemoveQuietly(files_, temp);
    throw;
  }
}

}  // namespace sorel
