// Unit tests of the substitution table's list helpers and of the line splitting used for win.ini.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/subst_table.h"
#include "platform/text.h"
#include "tests/fakes/memory_compare.h"

namespace sorel {
namespace {

using Lines = std::vector<std::string>;

struct ListCase {
  const char* what;
  SubstTable list;
  std::string text;
  bool expected;
};

TEST(HasEntry, ComparesWholeTextIgnoringCase) {
  const ListCase cases[] = {
      {"same text", {"A S,238=B,238"}, "A S,238=B,238", true},
      {"other letter case on both sides", {"A S,238=B,238"}, "a s,238=b,238", true},
      {"other charset in the value", {"A S,238=B,238"}, "A S,238=B,0", false},
      {"a prefix of an element", {"A S,238=B,238"}, "A S,238=B", false},
      {"an element is a prefix of the text", {"A S,238=B"}, "A S,238=B,238", false},
      {"the name alone", {"A S,238=B,238"}, "A S,238", false},
      {"blanks count", {"A S,238=B,238"}, "A S,238 =B,238", false},
      {"\"=\" inside the value", {"x", "a=b=c"}, "A=B=C", true},
      {"element without \"=\"", {"Arial"}, "arial", true},
      {"found after other elements", {"x=1", "y=2", "z=3"}, "Z=3", true},
      {"empty list", {}, "A=B", false},
      {"empty text against an empty element", {"a=b", ""}, "", true},
  };
  MemoryTextCompare compare;
  for (const auto& c : cases) {
    EXPECT_EQ(HasEntry(compare, c.list, c.text), c.expected) << c.what;
  }
}

TEST(HasEntry, FollowsTheLocaleBeyondAsciiLetters) {
  // Central European letters fold with the user's code page, not only A to Z.
  MemoryTextCompare compare(1250);
  const SubstTable list = {"Czcionka Żółw,238=Żółw,238"};
  EXPECT_TRUE(HasEntry(compare, list, "czcionka żółw,238=ŻÓŁW,238"));
  EXPECT_FALSE(HasEntry(compare, list, "Czcionka Zolw,238=Zolw,238"));
  EXPECT_EQ(FindName(compare, list, "CZCIONKA ŻÓŁW,238"), 0);
}

struct AddCase {
  const char* what;
  SubstTable list;
  std::string text;
  SubstTable expected;
};

// What the program adds is what the table holds for that name afterwards.
TEST(AddEntry, MakesTheTextTheOneElementOfItsName) {
  const AddCase cases[] = {
      {"new name appended", {"Helv=Arial"}, "Courier=Courier New", {"Helv=Arial", "Courier=Courier New"}},
      {"present in other letter case: kept as it stands", {"Arial CE,238=Arial,238", "Helv=Arial"},
       "arial ce,238=ARIAL,238", {"Arial CE,238=Arial,238", "Helv=Arial"}},
      {"same name, other value: replaced", {"Arial CE,238=Arial,238", "Helv=Arial"}, "arial ce,238=Tahoma,238",
       {"Helv=Arial", "arial ce,238=Tahoma,238"}},
      {"every other element of the name goes", {"a=1", "A=2", "x=0", "a=3"}, "a=2", {"A=2", "x=0"}},
      {"the name ends at the first \"=\"", {"a=b=c", "ab=c"}, "A=d", {"ab=c", "A=d"}},
      {"a text without \"=\" only appended", {"Arial", "Arial=Tahoma"}, "Arial=Tahoma", {"Arial", "Arial=Tahoma"}},
      {"without \"=\" nothing else goes", {"Arial=Tahoma"}, "Arial", {"Arial=Tahoma", "Arial"}},
  };
  MemoryTextCompare compare;
  for (const auto& c : cases) {
    SubstTable list = c.list;
    AddEntry(compare, list, c.text);
    EXPECT_EQ(list, c.expected) << c.what;
  }
}

TEST(RemoveEntry, DeletesFirstEqualElementOnly) {
  MemoryTextCompare compare;
  SubstTable list = {"a=1", "B=2", "c=3", "b=2", "B=20"};

  RemoveEntry(compare, list, "b=2");
  EXPECT_EQ(list, (SubstTable{"a=1", "c=3", "b=2", "B=20"}));

  RemoveEntry(compare, list, "B");  // a name is not an entry
  RemoveEntry(compare, list, "c=30");
  EXPECT_EQ(list, (SubstTable{"a=1", "c=3", "b=2", "B=20"}));

  RemoveEntry(compare, list, "C=3");
  RemoveEntry(compare, list, "A=1");
  EXPECT_EQ(list, (SubstTable{"b=2", "B=20"}));
}

TEST(FindName, MatchesTextBeforeFirstEquals) {
  struct Case {
    const char* what;
    SubstTable list;
    std::string name;
    int expected;
  };
  const Case cases[] = {
      {"exact", {"x=1", "Arial CE,238=Arial,238"}, "Arial CE,238", 1},
      {"letter case ignored", {"x=1", "Arial CE,238=Arial,238"}, "ARIAL ce,238", 1},
      {"first of two", {"A,238=B,238", "x=1", "a,238=C,238"}, "a,238", 0},
      {"value is not searched", {"x=Arial"}, "Arial", -1},
      {"element without \"=\" has no name", {"Arial", "Arial=Tahoma"}, "Arial", 1},
      {"only element without \"=\"", {"Arial"}, "Arial", -1},
      {"split at the first \"=\"", {"a=b=c"}, "a", 0},
      {"name holding \"=\" never matches", {"a=b=c"}, "a=b", -1},
      {"empty name", {"x", "=Default"}, "", 1},
      {"empty name, element without \"=\"", {""}, "", -1},
      {"prefix of a name", {"Arial CE=Arial"}, "Arial", -1},
      {"blank before \"=\" counts", {"Arial =Tahoma"}, "Arial", -1},
      {"empty list", {}, "Arial", -1},
  };
  MemoryTextCompare compare;
  for (const auto& c : cases) {
    EXPECT_EQ(FindName(compare, c.list, c.name), c.expected) << c.what;
  }
}

// The editor must give exactly what AddEntry, RemoveEntry and HasEntry give, step by step, for
// random edits over texts that differ in letter case, in accented letters and in charset.
TEST(TableEditor, GivesTheResultsOfTheListHelpers) {
  const std::vector<std::string> texts = {"A S,238=B,238", "a s,238=b,238", "A S,238=B,0", "\xC9 S,238=E,238",
                                          "\xE9 s,238=e,238", "Helv=Arial", "HELV=arial", "helv=Tahoma", "x"};
  MemoryTextCompare compare;
  std::mt19937 random(7);
  for (int run = 0; run < 200; ++run) {
    SubstTable expected = {"Helv=Arial", "A S,238=B,238", "a s,238=b,238"};  // a table may hold both
    SubstTable edited = expected;
    TableEditor editor(compare, edited);
    for (int step = 0; step < 20; ++step) {
      const std::string& text = texts[random() % texts.size()];
      switch (random() % 3) {
        case 0:
          AddEntry(compare, expected, text), editor.Add(text);
          break;
        case 1:
          RemoveEntry(compare, expected, text), editor.Remove(text);
          break;
        default:
          ASSERT_EQ(editor.Has(text), HasEntry(compare, expected, text)) << "run " << run << " step " << step;
      }
    }
    editor.Commit();
    EXPECT_EQ(edited, expected) << "run " << run;
  }
}

TEST(EnsureTrailingBackslash, AddsOneOnlyWhenMissing) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\windows", "C:\\windows\\"},
      {"C:\\windows\\", "C:\\windows\\"},
      {"C:\\", "C:\\"},
      {"\\", "\\"},
      {"C:", "C:\\"},
      {"dir/", "dir/\\"},
      {"", ""},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(EnsureTrailingBackslash(path), expected) << path;
  }
}

TEST(SplitLines, SplitsAtCrLfOrCrLf) {
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\n", {"a"}},
      {"a\r", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR are two line ends
      {"a\r\n\nb", {"a", "", "b"}},
      {" a \t\r\n  \r\n", {" a \t", "  "}},
      {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
  };
  for (const auto& [bytes, expected] : cases) {
    EXPECT_EQ(SplitLines(bytes), expected) << testing::PrintToString(bytes);
  }
}

TEST(JoinLines, EndsEveryLineWithCrLf) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({""}), "\r\n");
  EXPECT_EQ(JoinLines({"a", "", "b "}), "a\r\n\r\nb \r\n");
  // What SplitLines gives back joins to the same bytes when the file used CR LF throughout.
  const std::string crlf = "[a]\r\nk=v\r\n\r\n[b]\r\n";
  EXPECT_EQ(JoinLines(SplitLines(crlf)), crlf);
}

}  // namespace
}  // namespace sorel
