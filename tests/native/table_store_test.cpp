// Unit tests of TableStore: reading and writing the table in the registry (NT) and win.ini (95/98).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/subst_table.h"
#include "platform/errors.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_files.h"
#include "tests/fakes/memory_profile.h"
#include "tests/fakes/memory_registry.h"
#include "tests/fakes/memory_system.h"
#include "tests/support/store_platforms.h"
#include "tests/support/win_ini_samples.h"

namespace sorel {
namespace {

using namespace std::string_literals;

constexpr RegRoot kHklm = RegRoot::LocalMachine;
const std::string kKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
const std::string kWinIni = "C:\\windows\\win.ini";
const std::string kTemp = "C:\\windows\\win.ini.tmp";


std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// The writes and deletes of the registry's log, in order.
std::vector<std::string> Changes(const MemoryRegistry& registry) {
  std::vector<std::string> ops;
  for (const auto& line : registry.Log()) {
    if (line.rfind("write ", 0) == 0 || line.rfind("delete ", 0) == 0) ops.push_back(line);
  }
  return ops;
}

// ---------------------------------------------------------------- NT family: reading

class NtTable : public testing::Test {
 protected:
  void SetString(const std::string& name, const std::string& text) { p.registry.SetString(kHklm, kKey, name, text); }
  void SetRaw(const std::string& name, std::uint32_t type, const std::string& bytes) {
    p.registry.SetRaw(kHklm, kKey, name, type, bytes);
  }
  SubstTable Read(SubstTable table = {}) {
    store.ReadTable(table);
    return table;
  }
  // A save of table by a store that has just read what is stored, as the program saves.
  void Write(const SubstTable& table) {
    Read();
    store.WriteTable(table);
  }
  std::vector<std::string> Strings() { return p.registry.DumpStrings(kHklm, kKey); }
  std::vector<std::string> Changes() { return sorel::Changes(p.registry); }

  StorePlatforms p;
  TableStore store = p.Store(true);
};

TEST_F(NtTable, ReadAppendsStringValuesInEnumerationOrderAndSkipsOtherTypes) {
  SetString("Arial CE,238", "Arial,238");
  SetRaw("Expandable", RegType::ExpandString, "%WINDIR%");
  SetString("Helv", "MS Sans Serif");
  SetRaw("Number", RegType::DWord, std::string("\x01\0\0\0", 4));
  SetRaw("Multi", RegType::MultiString, std::string("a\0b\0\0", 5));
  SetRaw("Bytes", RegType::Binary, "\x01\x02");
  SetRaw("Untyped", RegType::None, "");
  SetString("", "Default face");  // the key's default value
  SetString("Empty", "");
  SetString("a=b", "c");

  EXPECT_EQ(Read({"kept=first"}), (SubstTable{"kept=first", "Arial CE,238=Arial,238", "Helv=MS Sans Serif",
                                               "=Default face", "Empty=", "a=b=c"}));
  EXPECT_EQ(p.files.Get(kWinIni), std::nullopt);
}

TEST_F(NtTable, ReadWithoutOpenableKeyLeavesTableAsItWas) {
  EXPECT_EQ(Read({"x=1"}), SubstTable{"x=1"});
  EXPECT_FALSE(p.registry.KeyExists(kHklm, kKey)) << "reading must not create the key";

  SetString("Arial CE,238", "Arial,238");
  p.registry.DenyOpen(kHklm, kKey);
  EXPECT_EQ(Read({"x=1"}), SubstTable{"x=1"});
}

TEST_F(NtTable, ReadKeepsNoWinIniFile) {
  SetString("Helv", "Arial");
  TableStore store = p.Store(true);
  SubstTable table;
  store.ReadTable(table);
  EXPECT_EQ(store.WinIniFile, nullptr);
}

// ---------------------------------------------------------------- NT family: writing

TEST_F(NtTable, WriteLeavesExactlyTheTableAsStringValues) {
  SetString("Gone", "removed by the program");
  SetString("Arial CE,238", "Arial,238");
  SetString("Helv", "MS Sans Serif");
  Write({"Helv=Arial", "Arial CE,238=Arial,238", "Times CE,238=Times New Roman,238", "Courier=Courier New"});

  EXPECT_EQ(Sorted(Strings()), Sorted({"Helv=Arial", "Arial CE,238=Arial,238",
                                       "Times CE,238=Times New Roman,238", "Courier=Courier New"}));
  // New values arrive in table order.
  const auto values = Strings();
  EXPECT_LT(std::find(values.begin(), values.end(), "Times CE,238=Times New Roman,238"),
            std::find(values.begin(), values.end(), "Courier=Courier New"));
}

TEST_F(NtTable, WriteNeverTouchesValuesOfOtherTypes) {
  const std::vector<MemoryRegistry::Value> others = {
      {"Expandable", RegType::ExpandString, "%WINDIR%"},
      {"Number", RegType::DWord, std::string("\x07\0\0\0", 4)},
      {"Multi", RegType::MultiString, std::string("a\0\0", 3)},
      {"Bytes", RegType::Binary, "\xff"},
  };
  SetString("Helv", "MS Sans Serif");
  for (const auto& v : others) SetRaw(v.name, v.type, v.data);

  Write({});
  EXPECT_EQ(Strings(), std::vector<std::string>{});
  for (const auto& v : others) {
    auto stored = p.registry.GetRaw(kHklm, kKey, v.name);
    ASSERT_TRUE(stored) << v.name;
    EXPECT_EQ(stored->type, v.type) << v.name;
    EXPECT_EQ(stored->data, v.data) << v.name;
  }
  std::vector<std::string> deletes;
  for (const auto& line : p.registry.Log()) {
    if (line.rfind("delete", 0) == 0) deletes.push_back(line);
  }
  EXPECT_EQ(deletes, std::vector<std::string>{"delete Helv"});
}

TEST_F(NtTable, WritesEverythingBeforeDeletingAnything) {
  SetString("Old1", "x");
  SetString("Keep", "y");
  SetString("Old2", "z");
  p.registry.ClearLog();
  Write({"Keep=y2", "New=n"});
  EXPECT_EQ(Changes(), (std::vector<std::string>{"write Keep", "write New", "delete Old1", "delete Old2"}));
  EXPECT_EQ(Sorted(Strings()), Sorted({"Keep=y2", "New=n"}));
}

TEST_F(NtTable, FirstElementOfANameDecidesItsValue) {
  p.registry.CreateKey(kHklm, kKey);
  Write({"A,238=B,238", "x=1", "a,238=C,238"});
  EXPECT_EQ(Sorted(Strings()), Sorted({"A,238=B,238", "x=1"}));
}

TEST_F(NtTable, StoredNameTakesTheTablesLetterCase) {
  SetString("arial ce,238", "Arial,238");
  SetString("HELV", "MS Sans Serif");
  SetString("Other", "kept");
  Write({"Arial CE,238=Arial,238", "Helv=Arial", "Other=kept"});
  EXPECT_EQ(Sorted(Strings()), Sorted({"Arial CE,238=Arial,238", "Helv=Arial", "Other=kept"}));
}

TEST_F(NtTable, ValueOfAnotherTypeNamedByTheTableBecomesTheTablesString) {
  // The table's entry must reach the system; the write replaces that value as the system
  // replaces any value written under an existing name.
  SetRaw("helv", RegType::ExpandString, "%X%");
  Write({"Helv=Arial"});
  auto v = p.registry.GetRaw(kHklm, kKey, "Helv");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->type, RegType::String);
  EXPECT_EQ(v->data, "Arial");
  EXPECT_EQ(p.registry.Dump(kHklm, kKey).size(), 1u);
}

TEST_F(NtTable, ValuesAddedOrChangedBySomeoneElseAfterReadingStay) {
  SetString("Arial CE,238", "Arial,238");
  SetString("Times CE,238", "Times New Roman,238");
  SubstTable table = Read();
  SetString("Added", "x");
  SetString("Times CE,238", "changed by someone else");
  AddEntry(p.compare, table, "New=n");
  store.WriteTable(table);
  EXPECT_EQ(Strings(), (std::vector<std::string>{"Arial CE,238=Arial,238", "Times CE,238=changed by someone else",
                                                 "Added=x", "New=n"}));
}

TEST_F(NtTable, ReadThenWriteKeepsEveryValue) {
  SetString("Arial CE,238", "Arial,238");
  SetString("", "Default face");
  SetString("Empty", "");
  SetRaw("Expandable", RegType::ExpandString, "%WINDIR%");
  SetString("Helvetica", "Arial");
  const auto before = p.registry.Dump(kHklm, kKey);

  Write(Read());
  auto after = p.registry.Dump(kHklm, kKey);
  ASSERT_EQ(after.size(), before.size());
  for (const auto& v : before) {
    auto stored = p.registry.GetRaw(kHklm, kKey, v.name);
    ASSERT_TRUE(stored) << v.name;
    EXPECT_EQ(stored->name, v.name);
    EXPECT_EQ(stored->type, v.type) << v.name;
    EXPECT_EQ(stored->data, v.data) << v.name;
  }
}

TEST_F(NtTable, ValueNameHoldingEqualsStaysAsItStood) {
  SetString("a=b", "c");
  SubstTable table = Read();
  AddEntry(p.compare, table, "New=n");
  store.WriteTable(table);
  EXPECT_EQ(p.registry.GetString(kHklm, kKey, "a=b"), "c");
  EXPECT_FALSE(p.registry.GetRaw(kHklm, kKey, "a"));
  // Removed by the run, it goes under its own name.
  RemoveEntry(p.compare, table, "a=b=c");
  store.WriteTable(table);
  EXPECT_EQ(Strings(), std::vector<std::string>{"New=n"});
}

struct SaveCase {
  const char* what;
  std::vector<std::pair<std::string, std::string>> exact, inexact;  // stored before the read
  void (*edit)(TextCompare&, SubstTable&);
  std::vector<std::string> changes;  // the writes and deletes of the save
};

// A save writes the entries the run changed and deletes those it removed; nothing else is
// written, and values the code page cannot hold are neither read nor touched.
TEST_F(NtTable, SaveStoresOnlyWhatTheRunChanged) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  const Pairs ab = {{"A", "1"}, {"B", "2"}};
  const Pairs cjk = {{"MS ????", "MS Gothic"}, {"Alpha ?", "Alpha"}, {"MS Mincho", "MS ??"}};
  const SaveCase cases[] = {
      {"nothing changed", ab, {}, [](TextCompare&, SubstTable&) {}, {}},
      {"one value changed", ab, {}, [](TextCompare& c, SubstTable& t) { AddEntry(c, t, "A=9"); }, {"write A"}},
      {"one entry removed", ab, {}, [](TextCompare& c, SubstTable& t) { RemoveEntry(c, t, "b=2"); }, {"delete B"}},
      {"one entry added", ab, {}, [](TextCompare& c, SubstTable& t) { AddEntry(c, t, "C=3"); }, {"write C"}},
      {"removed and added again", ab, {},
       [](TextCompare& c, SubstTable& t) { RemoveEntry(c, t, "A=1"), AddEntry(c, t, "A=1"); }, {}},
      {"respelled", ab, {}, [](TextCompare& c, SubstTable& t) { RemoveEntry(c, t, "A=1"), t.push_back("a=1"); },
       {"delete A", "write a"}},
      {"values the code page cannot hold", ab, cjk,
       [](TextCompare& c, SubstTable& t) { AddEntry(c, t, "C=3"), RemoveEntry(c, t, "A=1"); },
       {"write C", "delete A"}},
  };
  for (const auto& c : cases) {
    StorePlatforms fresh;
    for (const auto& [name, data] : c.exact) fresh.registry.SetString(kHklm, kKey, name, data);
    for (const auto& [name, data] : c.inexact) fresh.registry.SetInexactString(kHklm, kKey, name, data);
    const auto before = fresh.registry.Dump(kHklm, kKey);
    TableStore saver = fresh.Store(true);
    SubstTable table;
    saver.ReadTable(table);
    EXPECT_EQ(table.size(), c.exact.size()) << c.what << ": only exact values are read";
    c.edit(fresh.compare, table);
    fresh.registry.ClearLog();
    saver.WriteTable(table);
    EXPECT_EQ(sorel::Changes(fresh.registry), c.changes) << c.what;
    for (const auto& [name, data] : c.inexact) {
      const auto kept = fresh.registry.GetRaw(kHklm, kKey, name);
      EXPECT_TRUE(kept && kept->data == data && !kept->exact) << c.what << ": " << name;
    }
  }
}

// Writing over a value the code page cannot hold would change it: the save refuses before
// writing anything.
TEST_F(NtTable, SaveThatWouldOverwriteAnInexactValueWritesNothing) {
  SetString("A", "1");
  p.registry.SetInexactString(kHklm, kKey, "MS Mincho", "MS ??");
  SubstTable table = Read();
  AddEntry(p.compare, table, "B=2");
  AddEntry(p.compare, table, "ms mincho=Arial");
  RemoveEntry(p.compare, table, "A=1");
  p.registry.ClearLog();
  EXPECT_THROW(store.WriteTable(table), PlatformError);
  EXPECT_EQ(Changes(), std::vector<std::string>{});
}

// After a save the store compares with what it stored: a second save undoes the first exactly.
TEST_F(NtTable, SecondSaveComparesWithTheFirst) {
  SetString("A", "1");
  SubstTable table = Read();
  AddEntry(p.compare, table, "B=2");
  store.WriteTable(table);
  RemoveEntry(p.compare, table, "B=2");
  p.registry.ClearLog();
  store.WriteTable(table);
  EXPECT_EQ(Changes(), std::vector<std::string>{"delete B"});
  EXPECT_EQ(Strings(), std::vector<std::string>{"A=1"});
}

TEST_F(NtTable, ElementWithoutEqualsIsNotWritten) {
  SetString("Lonely", "old");
  Write({"Lonely", "A=1"});
  EXPECT_EQ(Strings(), std::vector<std::string>{"A=1"});
}

TEST_F(NtTable, WriteWithoutOpenableKeyDoesNothing) {
  Write({"A=1"});
  EXPECT_FALSE(p.registry.KeyExists(kHklm, kKey)) << "writing must not create the key";

  SetString("Old", "x");
  p.registry.DenyOpen(kHklm, kKey);
  EXPECT_NO_THROW(Write({"A=1"}));
  EXPECT_EQ(Strings(), std::vector<std::string>{"Old=x"});
  EXPECT_EQ(p.files.Get(kWinIni), std::nullopt);
}

TEST_F(NtTable, FailedWriteKeepsEarlierWritesAndDeletesNothing) {
  struct Case {
    const char* what;
    void (*arm)(MemoryRegistry&);
  };
  const Case cases[] = {
      {"write of one name refused", [](MemoryRegistry& r) { r.FailWriteOf("c"); }},
      {"refused after two writes", [](MemoryRegistry& r) { r.FailAfterWrites(2); }},
  };
  for (const auto& c : cases) {
    StorePlatforms fresh;
    fresh.registry.SetString(kHklm, kKey, "A", "1");
    fresh.registry.SetString(kHklm, kKey, "Stale", "s");
    TableStore saver = fresh.Store(true);
    SubstTable read;
    saver.ReadTable(read);
    c.arm(fresh.registry);
    try {
      saver.WriteTable({"A=1new", "B=2", "C=3", "D=4"});
      ADD_FAILURE() << c.what << ": no error";
    } catch (const PlatformError& e) {
      EXPECT_EQ(std::string(e.what()), FailedToSetDataMessage("C")) << c.what;
    }
    EXPECT_EQ(Sorted(fresh.registry.DumpStrings(kHklm, kKey)), Sorted({"A=1new", "Stale=s", "B=2"})) << c.what;
  }
}

// A user who may read the machine's settings but not change them: the table shows as it is, and
// a save says it failed instead of passing for one that worked.
TEST_F(NtTable, KeyWithReadAccessOnlyIsReadAndItsSaveFails) {
  SetString("Arial CE,238", "Arial,238");
  p.registry.DenyWriteAccess(kHklm, kKey);
  EXPECT_EQ(Read(), SubstTable{"Arial CE,238=Arial,238"});
  for (const SubstTable& table : {SubstTable{"Arial CE,238=Arial,238", "New=n"}, SubstTable{}}) {
    try {
      Write(table);
      ADD_FAILURE() << table.size() << ": no error";
    } catch (const PlatformError& e) {
      EXPECT_EQ(std::string(e.what()), FailedToSetDataMessage(kKey));
    }
    EXPECT_EQ(Strings(), std::vector<std::string>{"Arial CE,238=Arial,238"});
  }
}

// Each read, write and delete of a save fails in turn, one at a time: a save that reports the
// failure has lost none of the stored entries, whatever their spelling, and whatever the outcome
// a value the code page cannot hold and one added after the read are as they stood.
TEST_F(NtTable, NoSingleFailingOperationLosesAStoredEntry) {
  const std::vector<std::string> stored = {"arial ce,238=Arial,238", "Helv=MS Sans Serif", "Stale=s"};
  const SubstTable table = {"Arial CE,238=Arial,238", "Helv=Arial", "New=n"};
  bool failedSomething = true;
  for (std::size_t operation = 0; failedSomething; ++operation) {
    StorePlatforms fresh;
    for (const auto& entry : stored) {
      const auto eq = entry.find('=');
      fresh.registry.SetString(kHklm, kKey, entry.substr(0, eq), entry.substr(eq + 1));
    }
    fresh.registry.SetInexactString(kHklm, kKey, "MS ????", "MS Gothic");
    TableStore saver = fresh.Store(true);
    SubstTable read;
    saver.ReadTable(read);
    fresh.registry.SetString(kHklm, kKey, "Added", "later");
    fresh.registry.FailOnlyOperation(operation);
    bool reported = false;
    try {
      saver.WriteTable(table);
    } catch (const PlatformError&) {
      reported = true;
    }
    const auto& log = fresh.registry.Log();
    failedSomething = std::any_of(log.begin(), log.end(), [](const std::string& line) {
      return line.find("(failed)") != std::string::npos;
    });
    const auto inexact = fresh.registry.GetRaw(kHklm, kKey, "MS ????");
    EXPECT_TRUE(inexact && !inexact->exact && inexact->data == "MS Gothic") << "failing operation " << operation;
    EXPECT_EQ(fresh.registry.GetString(kHklm, kKey, "Added"), "later") << "failing operation " << operation;
    if (reported) {
      for (const char* name : {"Arial CE,238", "Helv", "Stale"}) {
        EXPECT_TRUE(fresh.registry.GetString(kHklm, kKey, name)) << name << ", failing operation " << operation;
      }
    } else if (failedSomething) {
      // Only a refused delete goes unreported: the value it should remove stays (perhaps in its
      // old spelling), and the table is stored.
      for (const auto& entry : table) {
        const auto eq = entry.find('=');
        EXPECT_EQ(fresh.registry.GetString(kHklm, kKey, entry.substr(0, eq)), entry.substr(eq + 1))
            << entry << ", failing operation " << operation;
      }
    }
  }
}

TEST_F(NtTable, ValueThatRefusesDeletionStaysAndTheRestIsWritten) {
  SetString("Stuck", "x");
  SetString("Gone", "y");
  p.registry.FailDeleteOf("Stuck");
  EXPECT_NO_THROW(Write({"A=1"}));
  EXPECT_EQ(Sorted(Strings()), Sorted({"A=1", "Stuck=x"}));
}

// ---------------------------------------------------------------- 95/98 family: reading

class WinIniTable : public testing::Test {
 protected:
  WinIniTable() { p.system.family = Family::Win9x; }
  SubstTable Read(const std::string& winIni, SubstTable table = {}) {
    p.files.Put(kWinIni, winIni);
    p.Store(false).ReadTable(table);
    return table;
  }
  // Writes table over a win.ini holding before and gives the file's bytes afterwards.
  std::string Write(const std::string& before, const SubstTable& table) {
    p.files.Put(kWinIni, before);
    p.Store(false).WriteTable(table);
    return p.files.Get(kWinIni).value_or("<no win.ini>");
  }

  StorePlatforms p;
};

TEST_F(WinIniTable, ReadTakesEachNameOnceWithItsFirstValue) {
  const std::string ini =
      "[windows]\r\nload=\r\n"
      "[FontSubstitutes]\r\n"
      "Arial CE,238=Arial,238\r\n"
      "Helv=MS Sans Serif\r\n"
      "arial ce,238=Tahoma,238\r\n"
      "Helv=Arial\r\n"
      "Times=Times New Roman\r\n"
      "[fonts]\r\nArial=arial.ttf\r\n";
  // A later duplicate key replaces the element with its own spelling but the first line's value,
  // which is all the profile functions give for any spelling of the name.
  EXPECT_EQ(Read(ini), (SubstTable{"arial ce,238=Arial,238", "Helv=MS Sans Serif", "Times=Times New Roman"}));
}

TEST_F(WinIniTable, ReadDropsNamesWithEmptyValues) {
  const std::string ini = "[FontSubstitutes]\r\nEmpty=\r\nA=1\r\nB=\r\n";
  EXPECT_EQ(Read(ini, {"b=old", "keep=k"}), (SubstTable{"keep=k", "A=1"}));
}

TEST_F(WinIniTable, ReadReplacesElementOfTheSameNameInPlace) {
  const std::string ini = "[FontSubstitutes]\r\nHELV=Arial\r\nNew=n\r\n";
  EXPECT_EQ(Read(ini, {"first=1", "helv=MS Sans Serif", "last=2"}),
            (SubstTable{"first=1", "HELV=Arial", "last=2", "New=n"}));
}

TEST_F(WinIniTable, ReadWithoutSectionOrFileLeavesTableAsItWas) {
  EXPECT_EQ(Read("[windows]\r\nload=\r\n", {"x=1"}), SubstTable{"x=1"});
  p.files.Remove(kWinIni);
  SubstTable table = {"x=1"};
  p.Store(false).ReadTable(table);
  EXPECT_EQ(table, SubstTable{"x=1"});
}

TEST_F(WinIniTable, FirstReadMakesWinIniFileAndLaterReadsUseIt) {
  TableStore store = p.Store(false);
  p.files.Put(kWinIni, "[FontSubstitutes]\r\nA=1\r\n");
  SubstTable table;
  store.ReadTable(table);
  ASSERT_NE(store.WinIniFile, nullptr);
  EXPECT_EQ(store.WinIniFile->FileName(), "win.ini");
  const IniFile* first = store.WinIniFile.get();

  // Nothing is cached: a changed file is read afresh through the same object.
  p.files.Put(kWinIni, "[FontSubstitutes]\r\nB=2\r\n");
  table.clear();
  store.ReadTable(table);
  EXPECT_EQ(store.WinIniFile.get(), first);
  EXPECT_EQ(table, SubstTable{"B=2"});
  EXPECT_FALSE(p.registry.KeyExists(kHklm, kKey));
}

// ---------------------------------------------------------------- 95/98 family: writing

TEST_F(WinIniTable, WriteReplacesOnlyTheSectionsLines) {
  struct Case {
    const char* what;
    std::string before;
    SubstTable table;
    std::string after;
  };
  const Case cases[] = {
      {"comment removed, empty line and next section kept",
       "[windows]\r\nload=\r\n[FontSubstitutes]\r\n;comment\r\nOld=1\r\n\r\n[fonts]\r\nArial=arial.ttf\r\n",
       {"A=B", "C=D"},
       "[windows]\r\nload=\r\n[FontSubstitutes]\r\nA=B\r\nC=D\r\n\r\n[fonts]\r\nArial=arial.ttf\r\n"},
      {"empty lines between entries gather after the new entries",
       "[FontSubstitutes]\r\nOld=1\r\n\r\nOld=2\r\n\r\n[x]\r\n",
       {"A=B"},
       "[FontSubstitutes]\r\nA=B\r\n\r\n\r\n[x]\r\n"},
      {"malformed and blank-only lines are section lines too",
       "[FontSubstitutes]\r\nno equals sign\r\n   \r\n=x\r\n[x]\r\n",
       {"A=B"},
       "[FontSubstitutes]\r\nA=B\r\n[x]\r\n"},
      {"header as the last line, no final line end",
       "[windows]\r\n[FontSubstitutes]",
       {"A=B"},
       "[windows]\r\n[FontSubstitutes]\r\nA=B\r\n"},
      {"header in other letter case keeps its spelling",
       "[fontSUBSTITUTES]\r\nOld=1\r\n",
       {"A=B"},
       "[fontSUBSTITUTES]\r\nA=B\r\n"},
      {"only the first section of that name",
       "[FontSubstitutes]\r\nOld=1\r\n[FontSubstitutes]\r\nOld=2\r\n",
       {"A=B"},
       "[FontSubstitutes]\r\nA=B\r\n[FontSubstitutes]\r\nOld=2\r\n"},
      {"two elements of one name are both written, in order",
       "[FontSubstitutes]\r\n",
       {"A,238=B,238", "a,238=C,238"},
       "[FontSubstitutes]\r\nA,238=B,238\r\na,238=C,238\r\n"},
      {"empty table empties the section",
       "[FontSubstitutes]\r\nOld=1\r\n[x]\r\nk=v\r\n",
       {},
       "[FontSubstitutes]\r\n[x]\r\nk=v\r\n"},
      {"a line with \"[\" later in it is an entry",
       "[FontSubstitutes]\r\n a[b]=c\r\n[x]\r\n",
       {"A=B"},
       "[FontSubstitutes]\r\nA=B\r\n[x]\r\n"},
      // The profile functions read these as the section, so the entries must go there.
      {"header with blanks after it",
       "[FontSubstitutes] \r\nOld=1\r\n",
       {"A=B"},
       "[FontSubstitutes] \r\nA=B\r\n"},
      {"header with blanks before it and inside the brackets",
       "[x]\r\n\t[ FontSubstitutes ]\r\nOld=1",
       {"A=B"},
       "[x]\r\n\t[ FontSubstitutes ]\r\nA=B\r\n"},
      {"a next header with blanks before it ends the section and stays",
       "[FontSubstitutes]\r\nOld=1\r\n  [fonts]\r\nArial=arial.ttf\r\n",
       {"A=B"},
       "[FontSubstitutes]\r\nA=B\r\n  [fonts]\r\nArial=arial.ttf\r\n"},
      {"LF line ends become CR LF",
       "[a]\nk=v\n[FontSubstitutes]\nOld=1\n\n[b]\n",
       {"A=B"},
       "[a]\r\nk=v\r\n[FontSubstitutes]\r\nA=B\r\n\r\n[b]\r\n"},
      {"CR line ends and mixed ones",
       "[a]\rk=v\r\n[FontSubstitutes]\rOld=1\n\r[b]",
       {"A=B"},
       "[a]\r\nk=v\r\n[FontSubstitutes]\r\nA=B\r\n\r\n[b]\r\n"},
      // The profile functions read a "[" line without "]" as a key of the section around it.
      {"a \"[\" line without \"]\" is a line of the section, not its end",
       "[FontSubstitutes]\r\n[v=3\r\nArial CE,238=Arial,238\r\n[x]\r\n",
       {"[v=3"},
       "[FontSubstitutes]\r\n[v=3\r\n[x]\r\n"},
      // They match the section's name folding ASCII letters only, and up to a zero byte.
      {"header whose name ends at a zero byte",
       "[FontSubstitutes\0]\r\nA=1\r\n"s,
       {"A=1", "B=2"},
       "[FontSubstitutes\0]\r\nA=1\r\nB=2\r\n"s},
      {"a name with a soft hyphen is another section",
       "[Font\xADSubstitutes]\r\nA=1\r\n[FontSubstitutes]\r\nB=2\r\n",
       {"B=2", "C=3"},
       "[Font\xADSubstitutes]\r\nA=1\r\n[FontSubstitutes]\r\nB=2\r\nC=3\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Write(c.before, c.table), c.after) << c.what;
  }
}

TEST_F(WinIniTable, WriteWithoutSectionAppendsOneAndKeepsEveryOtherLine) {
  struct Case {
    const char* what;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"lines before the first section survive",
       "loose line\r\nk=v\r\n[windows]\r\nload=\r\n",
       "loose line\r\nk=v\r\n[windows]\r\nload=\r\n\r\n[FontSubstitutes]\r\nA=B\r\n"},
      {"last line already empty",
       "[windows]\r\nload=\r\n\r\n",
       "[windows]\r\nload=\r\n\r\n[FontSubstitutes]\r\nA=B\r\n"},
      {"empty file", "", "[FontSubstitutes]\r\nA=B\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Write(c.before, {"A=B"}), c.after) << c.what;
  }
}

// Whatever win.ini looks like: read, edit, save. The profile functions then read back exactly the
// table saved, every other section reads as before, and saving again changes nothing.
TEST_F(WinIniTable, SavedTableIsTheOneReadBackForGeneratedFiles) {
  for (std::uint32_t seed = 1; seed <= 500; ++seed) {
    const std::string before = GeneratedWinIni(seed);
    p.files.Put(kWinIni, before);
    SubstTable table;
    p.Store(false).ReadTable(table);
    EditTableForRoundTrip(p.compare, table, seed);

    p.Store(false).WriteTable(table);
    const std::string after = p.files.Get(kWinIni).value_or("");
    SubstTable readBack;
    p.Store(false).ReadTable(readBack);
    EXPECT_EQ(readBack, table) << "seed " << seed << ":\n" << before;
    EXPECT_TRUE(SameOutsideTheTable(before, after)) << "seed " << seed << ":\n" << before;
    p.Store(false).WriteTable(table);
    EXPECT_EQ(p.files.Get(kWinIni), after) << "a second save changes nothing; seed " << seed;
  }
}

TEST_F(WinIniTable, WriteWithoutSectionAndWithEmptyTableLeavesFileAlone) {
  const std::string before = "[windows]\nload=\n";  // LF ends would otherwise become CR LF
  EXPECT_EQ(Write(before, {}), before);
}

TEST_F(WinIniTable, WriteWithoutWinIniCreatesIt) {
  p.Store(false).WriteTable({"A=B"});
  EXPECT_EQ(p.files.Get(kWinIni), "[FontSubstitutes]\r\nA=B\r\n");
}

TEST_F(WinIniTable, WriteFindsWinIniInTheWindowsFolderWithOrWithoutBackslash) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\", "C:\\win.ini"},
      {"D:\\WINNT", "D:\\WINNT\\win.ini"},
      {"D:\\WINNT\\", "D:\\WINNT\\win.ini"},
  };
  for (const auto& [folder, file] : cases) {
    StorePlatforms fresh;
    fresh.system.windowsDir = folder;
    fresh.files.Put(file, "[FontSubstitutes]\r\nOld=1\r\n");
    fresh.Store(false).WriteTable({"A=B"});
    EXPECT_EQ(fresh.files.Get(file), "[FontSubstitutes]\r\nA=B\r\n") << folder;
  }
}

TEST_F(WinIniTable, SuccessfulWriteLeavesNoTemporaryFileAndNoRegistryValues) {
  Write("[FontSubstitutes]\r\n", {"A=B"});
  EXPECT_EQ(p.files.Get(kTemp), std::nullopt);
  EXPECT_FALSE(p.registry.KeyExists(kHklm, kKey));
}

TEST_F(WinIniTable, ReadThenWriteDropsEmptyValuesAndDuplicates) {
  const std::string ini = "[FontSubstitutes]\r\nA=\r\nB=1\r\nb=2\r\nC=3\r\n\r\n[fonts]\r\n";
  SubstTable table = Read(ini);
  p.Store(false).WriteTable(table);
  EXPECT_EQ(p.files.Get(kWinIni), "[FontSubstitutes]\r\nb=1\r\nC=3\r\n\r\n[fonts]\r\n");

  // What was written reads back as the same table.
  SubstTable again;
  p.Store(false).ReadTable(again);
  EXPECT_EQ(again, table);
}

TEST_F(WinIniTable, ReadKeepsNamesTheSystemKeepsApartAndTakesValuesAsALookupGivesThem) {
  const struct {
    const char* what;
    std::string ini;
    SubstTable table;
  } cases[] = {
      {"accented letters in other case", "[FontSubstitutes]\r\n\xC9=1\r\n\xE9=2\r\n", {"\xC9=1", "\xE9=2"}},
      {"a soft hyphen", "[FontSubstitutes]\r\nA\xAD" "B=1\r\nAB=\r\n", {"A\xAD" "B=1"}},
      {"ASCII letters in other case: the later spelling, the first value",
       "[FontSubstitutes]\r\nHelv=1\r\nHELV=2\r\n", {"HELV=1"}},
      {"quotes go, once", "[FontSubstitutes]\r\nA=\"\"x\"\"\r\nB=' x '\r\n", {"A=\"x\"", "B= x "}},
      {"a value longer than 2047 characters comes whole",
       "[FontSubstitutes]\r\nLong=" + std::string(3000, 'v') + "\r\n", {"Long=" + std::string(3000, 'v')}},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.ini), c.table) << c.what;
}

// A section longer than any list buffer, with a nameless key in it, is read whole, and a save
// that changes one entry rewrites that line alone.
TEST_F(WinIniTable, LongSectionIsReadWholeAndASaveDropsNoLine) {
  std::string section = "[FontSubstitutes]\r\n";
  for (int i = 0; i < 1200; ++i) section += "Face number " + std::to_string(i) + ",238=Face,238\r\n";
  section += "=nameless\r\nLast=" + std::string(2100, 'L') + "\r\nQuoted=\" kept \"\r\n";
  SubstTable table = Read(section + "[next]\r\nk=v\r\n");
  ASSERT_EQ(table.size(), 1203u);
  table[0] = "Face number 0,238=Other,238";
  const std::string after = Write(section + "[next]\r\nk=v\r\n", table);
  std::string expected = section + "[next]\r\nk=v\r\n";
  expected.replace(expected.find("Face number 0,238=Face,238"), 26, "Face number 0,238=Other,238");
  EXPECT_EQ(after, expected);
}

TEST_F(WinIniTable, NewValuesAreWrittenSoThatTheyReadBackExactly) {
  for (const std::string value : {"plain", " x", "x ", "\"x\"", "'x'", "\"\"x\"\"", "\x0C", "\"x", "a=b"}) {
    Write("[FontSubstitutes]\r\nK=old\r\n", {"K=" + value});
    EXPECT_EQ(Read(p.files.Get(kWinIni).value_or("")), SubstTable{"K=" + value}) << "[" << value << "]";
  }
  for (const std::string& element : {"K=a\r\nb"s, " K=v"s, ";K=v"s, "[K]=v"s, "K\0=v"s}) {
    const std::string before = "[FontSubstitutes]\r\nK=old\r\n";
    EXPECT_THROW(Write(before, {element}), PlatformError) << element;
    EXPECT_EQ(p.files.Get(kWinIni), before) << element;
  }
}

TEST_F(WinIniTable, WithoutAWindowsFolderASaveFailsAndWritesNothing) {
  p.system.windowsDir = "";
  try {
    p.Store(false).WriteTable({"A=B"});
    ADD_FAILURE() << "no error";
  } catch (const PlatformError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"win.ini\"");
  }
  EXPECT_TRUE(p.files.Paths().empty()) << "nothing written, not even a bare win.ini in the current folder";
}

TEST_F(WinIniTable, FailedSaveLeavesWinIniUntouched) {
  struct Case {
    const char* what;
    void (*arm)(MemoryFileSystem&);
  };
  const Case cases[] = {
      {"temporary file cannot be written", [](MemoryFileSystem& f) { f.FailWrite(kTemp); }},
      {"temporary file cannot replace win.ini", [](MemoryFileSystem& f) { f.FailReplace(kWinIni); }},
      {"win.ini cannot be read", [](MemoryFileSystem& f) { f.FailRead(kWinIni); }},
  };
  const std::string before = "[windows]\nload=\n[FontSubstitutes]\nOld=1\n";
  for (const auto& c : cases) {
    StorePlatforms fresh;
    fresh.files.Put(kWinIni, before);
    c.arm(fresh.files);
    EXPECT_THROW(fresh.Store(false).WriteTable({"A=B"}), PlatformError) << c.what;
    EXPECT_EQ(fresh.files.Get(kWinIni), before) << c.what;
    EXPECT_EQ(fresh.files.Get(kTemp), std::nullopt) << c.what;
  }
}

}  // namespace
}  // namespace sorel
