// The font-substitution table in memory, its list helpers, and its store in the registry or win.ini.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/ignore_case_index.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/text_compare.h"

namespace sorel {

// Entry texts "name=value" in the order read or added; never sorted. The name is everything
// before the first "=", the value everything after it (it may hold "=" itself); neither is trimmed.
using SubstTable = std::vector<std::string>;

// Whole-entry comparison: the complete texts, ignoring letter case in the user's locale.
bool HasEntry(TextCompare& compare, const SubstTable& list, const std::string& text);
// Makes text the one element of its name: the other elements of that name (letter case ignored)
// are deleted, and text is appended unless HasEntry. The program's own entries go in this way,
// so that what it writes is what the system holds for the name. A text without "=" has no name
// and is only appended unless present.
void AddEntry(TextCompare& compare, SubstTable& list, const std::string& text);
// Deletes the first element equal to text, if any.
void RemoveEntry(TextCompare& compare, SubstTable& list, const std::string& text);
// Index of the first element whose name equals name (letter case ignored), or -1. Elements
// without "=" have no name and never match.
int FindName(TextCompare& compare, const SubstTable& list, const std::string& name);

// AddEntry, RemoveEntry and HasEntry over a whole table at a cost independent of its size, with
// the same results: entries are found through an IgnoreCaseIndex of their slots, and a removed
// element leaves a gap that Commit closes, so no step shifts the others. The table holds the
// edits only after Commit.
class TableEditor {
 public:
  TableEditor(TextCompare& compare, SubstTable& table);
  bool Has(const std::string& entry);
  // As AddEntry: entry becomes the one element of its name.
  void Add(const std::string& entry);
  void Remove(const std::string& entry);
  void Commit();

 private:
  void Append(const std::string& entry);
  void RemoveOthersOfName(const std::string& entry);

  TextCompare& compare_;
  SubstTable& table_;
  std::vector<std::optional<std::string>> slots_;
  IgnoreCaseIndex bySlot_;  // the live slots, first first
  IgnoreCaseIndex byName_;  // slots by their names; removed slots are skipped when met
};

// The NT family's table, under HKEY_LOCAL_MACHINE.
extern const char* const kFontSubstitutesKey;
// The 95/98 family's table: this section of win.ini in the Windows folder.
extern const char* const kFontSubstitutesSection;

// Reads and writes the system's table: string values of kFontSubstitutesKey on the NT family,
// lines of win.ini's [FontSubstitutes] section on the 95/98 family. The key is read with read
// access only, so a user without the rights to change it still sees the table; a save then fails
// with "Failed to set data for '<key>'". A missing key is skipped silently on both read and write;
// every other failure of a layer propagates as that layer's PlatformError.
class TableStore {
 public:
  TableStore(Registry& registry, ProfileFiles& profiles, FileSystem& files, SystemInfo& system,
             TextCompare& compare, bool isNT);

  // Appends the stored entries to table (it is not cleared first).
  // NT: one element name "=" text per REG_SZ value, in enumeration order; other types, and values
  // the code page cannot hold, are skipped.
  // 95/98: the section's keys through WinIniFile; a key with an empty value removes the element
  // of that name, a key already present by name replaces that element, others are appended.
  void ReadTable(SubstTable& table);

  // Stores what table changed. When two elements share a name, the first one wins.
  // NT: the table is compared with the values the last ReadTable (or successful WriteTable) saw,
  // and only the difference is stored: an element not among them is written under its name, and
  // a value whose entry the table no longer holds is deleted, unless its name was just written.
  // A value the table did not change is never rewritten; one never read (added by someone else
  // meanwhile, or of another type) is never deleted; a name holding "=" stays as it stood.
  // Every write comes before any delete, so the stored table is never missing while it is
  // written. A stored name that differs from the written one only in letter case is deleted and
  // written in the table's spelling, and put back when that write fails. No single failing
  // operation leaves fewer of the stored entries than before. Values whose name or data the code
  // page cannot hold are not read and never touched: a save that would write one of their names
  // raises an error before writing anything. Elements without "=" are not entries and are not
  // written.
  // 95/98: the section is found, and ended, exactly as the profile functions find and end it; its
  // lines are replaced by the table's lines (empty lines after them kept); without a section a
  // new one is appended at the end. The file is written to a temporary file beside it and put in
  // place in one step, so a failure leaves win.ini as it was. Without a Windows folder nothing is
  // written and "Cannot open file "win.ini"" is raised.
  void WriteTable(const SubstTable& table);

  // 95/98 family only: win.ini as the profile functions see it; made by the first ReadTable and
  // kept until the owner releases it.
  std::unique_ptr<IniFile> WinIniFile;

  // The temporary file's name, beside win.ini.
  static constexpr const char* kTempName = "win.ini.tmp";

 private:
  // A string value as the last read or save left it: its stored name and the element it gave.
  struct StoredEntry {
    std::string name;
    std::string entry;
  };
  void ReadRegistry(SubstTable& table);
  void ReadWinIni(SubstTable& table);
  void WriteRegistry(const SubstTable& table);
  struct RegistryWrite;
  void WriteRespelling(RegistryKey& key, const RegistryWrite& write);
  void WriteWinIni(const SubstTable& table);
  bool IsTableHeader(const std::string& line);

  Registry& registry_;
  ProfileFiles& profiles_;
  FileSystem& files_;
  SystemInfo& system_;
  TextCompare& compare_;
  bool isNT_;
  std::vector<StoredEntry> stored_;          // NT: the string values the table came from
  std::vector<std::string> inexactNames_;    // NT: 8-bit names of values the code page cannot hold
};

}  // namespace sorel
