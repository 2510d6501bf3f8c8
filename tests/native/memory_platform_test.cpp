// Unit tests of the in-memory registry, system facts and message boxes that other tests rely on, and
// of the save dialog's request in the system's terms.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "tests/fakes/memory_registry.h"
#include "tests/fakes/memory_system.h"
#include "platform/save_dialog_request.h"

namespace sorel {
namespace {

constexpr RegRoot kHkcu = RegRoot::CurrentUser;
constexpr RegRoot kHklm = RegRoot::LocalMachine;

TEST(MemoryRegistry, KeyPathsIgnoreLetterCaseAndTrailingBackslash) {
  MemoryRegistry reg;
  reg.SetString(kHkcu, "Software\\Velmora\\SorelAssistant\\", "Lang", "Polski");

  for (const char* path : {"Software\\Velmora\\SorelAssistant", "SOFTWARE\\velmora\\sorelassistant\\",
                           "software\\VELMORA\\SorelAssistant\\\\"}) {
    auto key = reg.Open(kHkcu, path, false);
    ASSERT_NE(key, nullptr) << path;
    EXPECT_EQ(key->ReadString("lang"), "Polski") << path;
  }
  EXPECT_NE(reg.Open(kHkcu, "Software\\Velmora", false), nullptr) << "parents exist";
  EXPECT_EQ(reg.Open(kHklm, "Software\\Velmora\\SorelAssistant", false), nullptr) << "roots are apart";
  EXPECT_EQ(reg.Open(kHkcu, "Software\\Velmora\\Sorel", false), nullptr) << "no prefix match";
  EXPECT_FALSE(reg.KeyExists(kHkcu, "Software\\Other"));
  EXPECT_NE(reg.Open(kHkcu, "Software\\Other\\Deep", true), nullptr);
  EXPECT_TRUE(reg.KeyExists(kHkcu, "software\\other"));
}

TEST(MemoryRegistry, OverwriteKeepsPlaceAndFirstSpellingOfTheName) {
  MemoryRegistry reg;
  auto key = reg.Open(kHklm, "K", true);
  key->WriteString("First", "1");
  key->WriteInteger("Count", 5);
  key->WriteString("Last", "3");
  key->WriteString("FIRST", "one");
  key->WriteString("count", "five");  // another type under an existing name

  const auto values = key->Values();
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].name, "First");
  EXPECT_EQ(values[1].name, "Count");
  EXPECT_EQ(values[1].type, RegType::String);
  EXPECT_EQ(values[2].name, "Last");
  EXPECT_EQ(reg.DumpStrings(kHklm, "K"), (std::vector<std::string>{"First=one", "Count=five", "Last=3"}));
  EXPECT_TRUE(key->ValueExists("LAST"));
  EXPECT_FALSE(key->ValueExists("Las"));
}

TEST(MemoryRegistry, ReadsCheckTheType) {
  MemoryRegistry reg;
  reg.SetString(kHklm, "K", "Sz", "text");
  reg.SetRaw(kHklm, "K", "Expand", RegType::ExpandString, "%WINDIR%");
  reg.SetRaw(kHklm, "K", "Zeroed", RegType::String, std::string("ab\0cd", 5));
  reg.SetDWord(kHklm, "K", "Dw", -2);
  reg.SetRaw(kHklm, "K", "Bin", RegType::Binary, "\x01\x02\x03\x04");
  reg.SetRaw(kHklm, "K", "Multi", RegType::MultiString, std::string("a\0\0", 3));
  auto key = reg.Open(kHklm, "K", false);

  EXPECT_EQ(key->ReadString("Sz"), "text");
  EXPECT_EQ(key->ReadString("Expand"), "%WINDIR%");
  EXPECT_EQ(key->ReadString("Zeroed"), "ab");
  EXPECT_EQ(key->ReadString("Absent"), "");
  EXPECT_EQ(key->ReadInteger("Dw"), -2);
  EXPECT_EQ(reg.GetDWord(kHklm, "K", "dw"), -2);

  struct Bad {
    const char* name;
    bool integer;
  };
  for (const Bad& b : {Bad{"Dw", false}, Bad{"Bin", false}, Bad{"Multi", false}, Bad{"Sz", true},
                       Bad{"Bin", true}, Bad{"Absent", true}}) {
    try {
      if (b.integer) {
        key->ReadInteger(b.name);
      } else {
        key->ReadString(b.name);
      }
      ADD_FAILURE() << b.name << " read without error";
    } catch (const PlatformError& e) {
      EXPECT_EQ(std::string(e.what()), InvalidDataTypeMessage(b.name));
    }
  }
}

TEST(MemoryRegistry, IntegersAreFourLittleEndianBytes) {
  MemoryRegistry reg;
  reg.Open(kHklm, "K", true)->WriteInteger("v", 0x01020304);
  auto v = reg.GetRaw(kHklm, "K", "V");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->type, RegType::DWord);
  EXPECT_EQ(v->data, std::string("\x04\x03\x02\x01", 4));
}

TEST(MemoryRegistry, DeleteValueAndDeleteKey) {
  MemoryRegistry reg;
  reg.SetString(kHklm, "K\\Sub", "a", "1");
  reg.SetString(kHklm, "K", "b", "2");
  reg.SetString(kHklm, "Kx", "c", "3");
  auto key = reg.Open(kHklm, "K", false);
  EXPECT_TRUE(key->DeleteValue("B"));
  EXPECT_FALSE(key->DeleteValue("b"));
  EXPECT_FALSE(reg.GetRaw(kHklm, "K", "b"));

  reg.DeleteKey(kHklm, "k");
  EXPECT_FALSE(reg.KeyExists(kHklm, "K"));
  EXPECT_FALSE(reg.KeyExists(kHklm, "K\\Sub"));
  EXPECT_TRUE(reg.KeyExists(kHklm, "Kx")) << "a sibling with the same prefix stays";
  EXPECT_THROW(key->Values(), PlatformError) << "a key open on a deleted key";
}

TEST(MemoryRegistry, InjectedFaults) {
  MemoryRegistry reg;
  reg.SetString(kHklm, "K", "keep", "k");
  reg.SetString(kHklm, "K", "stuck", "s");

  reg.DenyOpen(kHklm, "k\\");
  EXPECT_EQ(reg.Open(kHklm, "K", false), nullptr);
  EXPECT_EQ(reg.Open(kHklm, "K", true), nullptr);
  reg.ClearFaults();

  auto key = reg.Open(kHklm, "K", false);
  ASSERT_NE(key, nullptr);
  reg.FailWriteOf("BAD");
  try {
    key->WriteString("bad", "x");
    ADD_FAILURE() << "write of a refused name succeeded";
  } catch (const PlatformError& e) {
    EXPECT_EQ(std::string(e.what()), FailedToSetDataMessage("bad"));
  }
  EXPECT_THROW(key->WriteInteger("Bad", 1), PlatformError);
  EXPECT_FALSE(reg.GetRaw(kHklm, "K", "bad"));

  reg.FailAfterWrites(1);
  key->WriteString("one", "1");
  EXPECT_THROW(key->WriteString("two", "2"), PlatformError);
  EXPECT_FALSE(reg.GetRaw(kHklm, "K", "two"));
  EXPECT_EQ(reg.WriteCount(), 1u);

  reg.FailDeleteOf("Stuck");
  EXPECT_FALSE(key->DeleteValue("stuck"));
  EXPECT_TRUE(reg.GetRaw(kHklm, "K", "stuck"));
  reg.FailAllDeletes();
  EXPECT_FALSE(key->DeleteValue("keep"));
  EXPECT_TRUE(reg.GetRaw(kHklm, "K", "keep"));
}

TEST(MemoryRegistry, LogRecordsOperationsInOrder) {
  MemoryRegistry reg;
  reg.SetString(kHklm, "K", "old", "x");
  reg.FailWriteOf("bad");
  {
    auto key = reg.Open(kHklm, "K", false);
    key->WriteString("new", "y");
    EXPECT_THROW(key->WriteString("bad", "z"), PlatformError);
    key->ReadString("new");
    key->DeleteValue("old");
    key->DeleteValue("old");
  }
  reg.Open(kHklm, "Missing", false);
  EXPECT_EQ(reg.Log(), (std::vector<std::string>{"open HKLM\\K", "write new", "write bad (failed)", "read new",
                                                 "delete old", "delete old (failed)", "close",
                                                 "open HKLM\\Missing (failed)"}));
}

TEST(MemorySystemInfo, FactsAreSettableAndSleepOnlyRecords) {
  MemorySystemInfo sys;
  EXPECT_EQ(sys.SystemFamily(), Family::Nt);
  EXPECT_EQ(sys.WindowsDirectory(), "C:\\windows");
  EXPECT_EQ(sys.FixedFileVersion(sys.ExePath()), std::nullopt);
  sys.SetExeVersion(FileVersion{1, 1, 3, 6});
  auto v = sys.FixedFileVersion("C:\\Program Files\\Sorel\\SorelAssistant.exe");
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, (FileVersion{1, 1, 3, 6}));
  sys.Sleep(4000);
  sys.Sleep(0);
  EXPECT_EQ(sys.sleeps, (std::vector<unsigned>{4000, 0}));
}

TEST(MemoryDialogs, AnswersFromScriptAndRefusesUnexpectedQuestions) {
  MemoryDialogs dialogs;
  dialogs.Script({Answer::Yes, Answer::No});
  EXPECT_EQ(dialogs.MessageBox("Save?", "Sorel", Buttons::YesNo, Icon::Question), Answer::Yes);
  EXPECT_EQ(dialogs.MessageBox("Restart?", "Sorel", Buttons::YesNo, Icon::None), Answer::No);
  EXPECT_THROW(dialogs.MessageBox("Surprise", "Sorel", Buttons::Ok, Icon::None), std::logic_error);
  ASSERT_EQ(dialogs.Calls().size(), 3u);
  EXPECT_EQ(dialogs.Calls()[0].text, "Save?");
  EXPECT_EQ(dialogs.Calls()[0].buttons, Buttons::YesNo);
  EXPECT_EQ(dialogs.Calls()[0].icon, Icon::Question);
  EXPECT_EQ(dialogs.Calls()[2].text, "Surprise");

  dialogs.SetDefaultAnswer(Answer::Cancel);
  EXPECT_EQ(dialogs.MessageBox("Again", "Sorel", Buttons::YesNoCancel, Icon::None), Answer::Cancel);
}

TEST(SaveDialogRequest, FilterAndFlagsInTheSystemsTerms) {
  using namespace std::string_literals;  // "\0" stays in the string
  const struct {
    const char* what;
    SaveFileRequest request;
    std::string filter;
    unsigned flags;
  } cases[] = {
      {"the update's filter",
       {"Aplikacje (*.EXE)|*.EXE|Archiwum ZIP|*.ZIP|Wszystkie pliki (*.*)|*.*", "setup.exe", 1, true, true},
       "Aplikacje (*.EXE)\0*.EXE\0Archiwum ZIP\0*.ZIP\0Wszystkie pliki (*.*)\0*.*\0\0"s,
       Ofn::OverwritePrompt | Ofn::PathMustExist | Ofn::HideReadOnly},
      {"no filter", {"", "a.txt", 1, false, false}, "", Ofn::HideReadOnly},
      {"one pair, overwrite prompt only", {"Text|*.txt;*.ini", "", 1, true, false},
       "Text\0*.txt;*.ini\0\0"s, Ofn::OverwritePrompt | Ofn::HideReadOnly},
      {"an empty description, path only", {"|*.*", "", 1, false, true}, "\0*.*\0\0"s,
       Ofn::PathMustExist | Ofn::HideReadOnly},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SystemFilter(c.request.filter), c.filter) << c.what;
    EXPECT_EQ(SystemSaveFlags(c.request), c.flags) << c.what;
  }
}

}  // namespace
}  // namespace sorel
