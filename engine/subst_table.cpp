// The substitution table's list helpers and its store in the registry (NT) or win.ini (95/98).
#include "engine/subst_table.h"
#include "platform/text.h"

#include <deque>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/errors.h"
#include "platform/profile_syntax.h"

namespace sorel {

const char* const kFontSubstitutesKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
const char* const kFontSubstitutesSection = "FontSubstitutes";

namespace {

const char* const kWinIni = "win.ini";

// A stored value as a lookup gives it: one pair of enclosing quotes removed.
std::string ProfileValue(const std::string& raw) {
  return HasEnclosingQuotes(raw) ? raw.substr(1, raw.size() - 2) : raw;
}

const char* const kSectionHeader = "[FontSubstitutes]";

// Removes a leftover temporary file without letting a second failure hide the first.
void RemoveQuietly(FileSystem& files, const std::string& path) {
  try {
    files.Remove(path);
  } catch (...) {
  }
}

// The name of an entry, everything before its first "="; nothing for a text without one.
std::optional<std::string> NameOf(const std::string& entry) {
  const auto eq = entry.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return entry.substr(0, eq);
}

}  // namespace

bool HasEntry(TextCompare& compare, const SubstTable& list, const std::string& text) {
  for (const auto& element : list) {
    if (compare.SameText(element, text)) return true;
  }
  return false;
}

void AddEntry(TextCompare& compare, SubstTable& list, const std::string& text) {
  if (const auto name = NameOf(text)) {
    std::erase_if(list, [&](const std::string& element) {
      const auto other = NameOf(element);
      return other && compare.SameText(*other, *name) && !compare.SameText(element, text);
    });
  }
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
    const auto found = NameOf(list[i]);
    if (found && compare.SameText(*found, name)) return static_cast<int>(i);
  }
  return -1;
}

TableEditor::TableEditor(TextCompare& compare, SubstTable& table)
    : compare_(compare), table_(table), slots_(table.begin(), table.end()), bySlot_(compare, table),
      byName_(compare) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (auto name = NameOf(table[i])) byName_.Add(*name, i);
  }
}

bool TableEditor::Has(const std::string& entry) { return bySlot_.Has(entry); }

void TableEditor::Add(const std::string& entry) {
  RemoveOthersOfName(entry);
  if (!bySlot_.Has(entry)) Append(entry);
}

void TableEditor::Append(const std::string& entry) {
  bySlot_.Add(entry, slots_.size());
  if (auto name = NameOf(entry)) byName_.Add(*name, slots_.size());
  slots_.emplace_back(entry);
}

void TableEditor::RemoveOthersOfName(const std::string& entry) {
  const auto name = NameOf(entry);
  if (!name) return;
  const IgnoreCaseIndex::Key key = byName_.KeyOf(*name);
  std::vector<std::size_t> kept;
  for (std::size_t slot = byName_.RemoveFirst(key); slot != IgnoreCaseIndex::npos; slot = byName_.RemoveFirst(key)) {
    if (!slots_[slot]) continue;  // removed since
    if (compare_.SameText(*slots_[slot], entry)) {
      kept.push_back(slot);
      continue;
    }
    bySlot_.RemoveFirst(*slots_[slot]);
    slots_[slot].reset();
  }
  for (std::size_t slot : kept) byName_.Add(key, slot);
}

void TableEditor::Remove(const std::string& entry) {
  // The first equal element, as RemoveEntry takes it.
  const std::size_t slot = bySlot_.RemoveFirst(entry);
  if (slot != IgnoreCaseIndex::npos) slots_[slot].reset();
}

void TableEditor::Commit() {
  table_.clear();
  for (const auto& slot : slots_) {
    if (slot) table_.push_back(*slot);
  }
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
  std::vector<StoredEntry> stored;
  std::vector<std::string> inexact;
  if (key) {
    for (const auto& value : key->Values()) {
      // Expandable, multi-string and binary values are not substitutions the program can show.
      if (value.type != RegType::String) continue;
      // Its 8-bit text stands for something else: shown or written back, it would be wrong.
      if (!value.exact) {
        inexact.push_back(value.name);
        continue;
      }
      stored.push_back({value.name, value.name + "=" + key->ReadString(value.name)});
    }
  }
  // All or nothing: the table and what a save compares it with come from the same read.
  for (const auto& value : stored) table.push_back(value.entry);
  stored_ = std::move(stored);
  inexactNames_ = std::move(inexact);
}

void TableStore::ReadWinIni(SubstTable& table) {
  if (!WinIniFile) WinIniFile = std::make_unique<IniFile>(profiles_, kWinIni);
  // The whole section in one read: a key list is cut at 16384 bytes and ends at a nameless key,
  // and a lookup per key makes a long section slow. Every key line is then stored by its name as
  // the profile functions would answer for it.
  std::vector<std::pair<std::string, std::string>> keys;  // name, raw value, in file order
  std::unordered_map<std::string, std::string> firstValue;  // by profile name: what a lookup gives
  for (const auto& line : WinIniFile->SectionLines(kFontSubstitutesSection)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;  // no value: not a key of the list
    keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    firstValue.emplace(FoldProfileName(keys.back().first), ProfileValue(keys.back().second));
  }

  // Elements by profile name, so that names the system keeps apart stay apart; erased elements
  // become empty slots until the end, so positions stay valid.
  std::vector<std::optional<std::string>> slots(table.begin(), table.end());
  std::unordered_map<std::string, std::deque<std::size_t>> byName;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const auto eq = slots[i]->find('=');
    if (eq != std::string::npos) byName[FoldProfileName(slots[i]->substr(0, eq))].push_back(i);
  }
  for (const auto& [name, raw] : keys) {
    const std::string& value = firstValue[FoldProfileName(name)];
    auto& same = byName[FoldProfileName(name)];
    if (value.empty()) {
      if (!same.empty()) {
        slots[same.front()].reset();
        same.pop_front();
      }
    } else if (!same.empty()) {
      slots[same.front()] = name + "=" + value;
    } else {
      same.push_back(slots.size());
      slots.emplace_back(name + "=" + value);
    }
  }
  table.clear();
  for (auto& slot : slots) {
    if (slot) table.push_back(std::move(*slot));
  }
}

// One name the save writes: the first element of that name, when the last read did not see it.
struct TableStore::RegistryWrite {
  std::string name, data;
  std::size_t stored;  // the stored value of that name (any letter case), or npos
};

void TableStore::WriteRegistry(const SubstTable& table) {
  auto key = registry_.Open(RegRoot::LocalMachine, kFontSubstitutesKey, false);
  if (!key) {
    // A key that is there but refuses writing must not pass for a save that worked.
    if (registry_.OpenForReading(RegRoot::LocalMachine, kFontSubstitutesKey))
      throw PlatformError(FailedToSetDataMessage(kFontSubstitutesKey));
    return;
  }

  // Only the difference from what was read is stored, so a value nobody changed keeps its
  // bytes. Names are matched by their ignore-case keys, so a table of thousands of entries costs
  // a few lookups per entry.
  const std::unordered_set<std::string> wasStored = [&] {
    std::unordered_set<std::string> texts;
    for (const auto& value : stored_) texts.insert(value.entry);
    return texts;
  }();
  IgnoreCaseIndex storedNames(compare_);
  for (std::size_t i = 0; i < stored_.size(); ++i) storedNames.Add(stored_[i].name, i);
  IgnoreCaseIndex inexactNames(compare_);
  for (const auto& name : inexactNames_) inexactNames.Add(name);

  std::vector<RegistryWrite> writes;
  IgnoreCaseIndex tableNames(compare_), written(compare_);
  for (const auto& element : table) {
    const auto eq = element.find('=');
    if (eq == std::string::npos) continue;
    const std::string name = element.substr(0, eq);
    // Only the first element of a name is written: it decides what the system gets.
    IgnoreCaseIndex::Key nameKey = tableNames.KeyOf(name);
    if (!tableNames.AddNew(nameKey) || wasStored.count(element)) continue;
    if (inexactNames.Has(nameKey))
      throw PlatformError("The entry \"" + element +
                          "\" cannot be saved: the registry holds a value of that name in characters this "
                          "system's code page cannot show. Nothing was saved.");
    writes.push_back({name, element.substr(eq + 1), storedNames.First(nameKey)});
    written.Add(std::move(nameKey));
  }

  // Writing first and deleting afterwards keeps every entry stored throughout, so a failure
  // part-way loses nothing that was there before.
  std::vector<bool> gone(stored_.size(), false);
  for (const auto& write : writes) {
    WriteRespelling(*key, write);
    if (write.stored != IgnoreCaseIndex::npos) gone[write.stored] = true;
  }
  // Values whose entries the table no longer holds: this run removed them. A value that refuses
  // deletion stays; the registry layer reports that as no error.
  const std::unordered_set<std::string> inTable(table.begin(), table.end());
  for (std::size_t i = 0; i < stored_.size(); ++i) {
    if (gone[i] || inTable.count(stored_[i].entry) || written.Has(stored_[i].name)) continue;
    gone[i] = key->DeleteValue(stored_[i].name);
  }

  // The next save compares with what is stored now.
  std::vector<StoredEntry> now;
  for (std::size_t i = 0; i < stored_.size(); ++i) {
    if (!gone[i]) now.push_back(std::move(stored_[i]));
  }
  for (const auto& write : writes) now.push_back({write.name, write.name + "=" + write.data});
  stored_ = std::move(now);
}

void TableStore::WriteRespelling(RegistryKey& key, const RegistryWrite& write) {
  // Overwriting keeps a value's stored spelling; a stored value that differs from the written
  // name only in letter case is dropped first so the table's spelling is what remains. Should
  // the write then fail, the old value is put back: a failed save loses nothing.
  const bool respelled = write.stored != IgnoreCaseIndex::npos && stored_[write.stored].name != write.name;
  if (!respelled) {
    key.WriteString(write.name, write.data);
    return;
  }
  const std::string& storedName = stored_[write.stored].name;
  const std::string previous = key.ReadString(storedName);
  if (!key.DeleteValue(storedName)) {
    key.WriteString(write.name, write.data);  // still there: overwritten under its stored spelling
    return;
  }
  try {
    key.WriteString(write.name, write.data);
  } catch (...) {
    try {
      key.WriteString(storedName, previous);
    } catch (...) {
    }
    throw;
  }
}

namespace {

// The name of the section header line is, up to a zero byte, as the profile functions match it.
std::optional<std::string> SectionHeaderName(const std::string& line) {
  std::string name;
  if (!ParseProfileHeader(line, name)) return std::nullopt;
  return UpToZero(name);
}

// The entry a key line of the section stands for, name "=" value as a lookup reads it; nothing
// for a line without "=" or a comment line.
std::optional<std::string> EntryReadFrom(const std::string& line) {
  std::string name, value;
  if (!ParseProfileKeyLine(line, name, value) || (!name.empty() && name[0] == ';')) return std::nullopt;
  return UpToZero(name) + "=" + ProfileValue(UpToZero(value));
}

// The line that makes the profile functions read back exactly this element: a value with blanks
// at either end, or in quotes of its own, goes in one more pair of quotes, which a lookup removes.
// An element the file cannot say (a line break or zero byte in it, blanks around its name) stops
// the save rather than being written as something else.
std::string EntryLine(const std::string& element) {
  const auto eq = element.find('=');
  if (eq == std::string::npos) return element;  // no entry: written as it is, read as no key
  const std::string name = element.substr(0, eq);
  const std::string value = element.substr(eq + 1);
  const bool sayable = element.find_first_of(std::string("\r\n\0", 3)) == std::string::npos &&
                       TrimProfileBlanks(name) == name && (name.empty() || name[0] != ';') &&
                       !SectionHeaderName(element);
  if (!sayable) throw PlatformError("Cannot write the entry \"" + element + "\" to win.ini");
  const bool blankAtEnd = !value.empty() && (IsProfileBlank(value.front()) || IsProfileBlank(value.back()));
  if (blankAtEnd || ProfileValue(value) != value) return name + "=\"" + value + "\"";
  return element;
}

}  // namespace

// The header of the section the profile functions read the table from: the first one whose name
// matches, ASCII letters ignoring case, as they match it, so the entries land where they are read.
bool TableStore::IsTableHeader(const std::string& line) {
  const auto name = SectionHeaderName(line);
  return name && FoldProfileName(*name) == FoldProfileName(kFontSubstitutesSection);
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
    std::size_t end = start;
    std::vector<std::string> emptyLines;  // they keep sections apart; they stay after the entries
    std::unordered_map<std::string, std::string> asItStood;  // entry text -> the line that says it
    for (; end < lines.size() && !SectionHeaderName(lines[end]); ++end) {
      if (lines[end].empty()) {
        emptyLines.push_back(lines[end]);
      } else if (auto entry = EntryReadFrom(lines[end])) {
        asItStood.emplace(*entry, lines[end]);
      }
    }
    std::vector<std::string> section;
    for (const auto& element : table) {
      auto kept = asItStood.find(element);
      section.push_back(kept != asItStood.end() ? kept->second : EntryLine(element));
    }
    section.insert(section.end(), emptyLines.begin(), emptyLines.end());
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(start), lines.begin() + static_cast<std::ptrdiff_t>(end));
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(start), section.begin(), section.end());
  } else {
    // No section: every line of the file belongs to someone else, so the entries go into a new
    // section at the end. An empty table needs no section at all.
    if (table.empty()) return;
    if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
    lines.emplace_back(kSectionHeader);
    for (const auto& element : table) lines.push_back(EntryLine(element));
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
