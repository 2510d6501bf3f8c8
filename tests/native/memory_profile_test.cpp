// Unit tests of the profile-file emulation: the shared Wine cases, file lookup and the parser.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/memory_files.h"
#include "tests/fakes/memory_profile.h"
#include "platform/profile_syntax.h"
#include "tests/support/profile_cases.h"

namespace sorel {
namespace {

using namespace std::string_literals;
using test::ProfileCase;

// Lists can hold 1700 names; show where they part rather than all of them.
std::string FirstDifference(const std::vector<std::string>& got, const std::vector<std::string>& want) {
  for (std::size_t i = 0; i < got.size() && i < want.size(); ++i) {
    if (got[i] != want[i]) return "at " + std::to_string(i) + ": \"" + got[i] + "\" instead of \"" + want[i] + "\"";
  }
  return "sizes " + std::to_string(got.size()) + " and " + std::to_string(want.size());
}

TEST(MemoryProfile, GivesWhatWineGivesForEveryCase) {
  const std::string path = "C:\\tests\\case.ini";
  for (const auto& c : test::ProfileCases()) {
    MemoryFileSystem fs;
    if (c.text) fs.Put(path, *c.text);
    MemoryProfileFiles profiles(fs, "C:\\windows");
    std::vector<std::string> got = AskProfile(profiles, path, c);
    EXPECT_TRUE(got == c.expected) << c.what << ": " << FirstDifference(got, c.expected);
  }
}

TEST(MemoryProfile, BareFileNamesAreLookedUpInTheWindowsFolder) {
  const struct {
    const char* windowsDir;
    const char* name;
    const char* path;
  } cases[] = {
      {"C:\\windows", "win.ini", "C:\\windows\\win.ini"},
      {"C:\\windows", "WIN.INI", "C:\\Windows\\Win.ini"},
      {"C:\\", "win.ini", "C:\\win.ini"},
      {"D:\\WINNT\\", "win.ini", "D:\\WINNT\\win.ini"},
      {"C:\\windows", "C:\\Program Files\\Sorel\\LangRes.ini", "C:\\Program Files\\Sorel\\LangRes.ini"},
      {"C:\\windows", "C:/Sorel/LangRes.ini", "C:\\Sorel\\LangRes.ini"},
  };
  for (const auto& c : cases) {
    MemoryFileSystem fs;
    fs.Put(c.path, "[s]\r\nk=found\r\n");
    MemoryProfileFiles profiles(fs, c.windowsDir);
    EXPECT_EQ(profiles.ReadString(c.name, "s", "k", "absent"), "found") << c.windowsDir << " + " << c.name;
    EXPECT_EQ(profiles.SectionNames(c.name), std::vector<std::string>{"s"}) << c.windowsDir << " + " << c.name;
  }
}

TEST(MemoryProfile, EveryCallReadsTheFileAfresh) {
  MemoryFileSystem fs;
  MemoryProfileFiles profiles(fs, "C:\\windows");
  EXPECT_EQ(profiles.ReadString("win.ini", "s", "k", "none"), "none");
  fs.Put("C:\\windows\\win.ini", "[s]\nk=1\n");
  EXPECT_EQ(profiles.ReadString("win.ini", "s", "k", "none"), "1");
  fs.Put("C:\\windows\\win.ini", "[s]\nk=2\nj=3\n");
  EXPECT_EQ(profiles.ReadString("win.ini", "s", "k", "none"), "2");
  EXPECT_EQ(profiles.SectionKeys("win.ini", "s"), (std::vector<std::string>{"k", "j"}));
}

TEST(MemoryProfile, AnUnreadableFileReadsAsEmpty) {
  MemoryFileSystem fs;
  fs.Put("C:\\windows\\win.ini", "[s]\nk=1\n");
  fs.FailRead("C:\\windows\\win.ini");
  MemoryProfileFiles profiles(fs, "C:\\windows");
  EXPECT_EQ(profiles.ReadString("win.ini", "s", "k", "none"), "none");
  EXPECT_TRUE(profiles.SectionNames("win.ini").empty());
  EXPECT_TRUE(profiles.SectionKeys("win.ini", "s").empty());
}

TEST(ParseProfile, KeepsLinesBeforeTheFirstHeaderAndKeysWithoutValue) {
  ProfileData data = ParseProfile("top=1\r\n[A]\r\nplain\r\n;c=2\r\n x = y \r\n[]\r\nz=3\r\n");
  ASSERT_EQ(data.sections.size(), 3u);
  EXPECT_EQ(data.sections[0].name, "");
  ASSERT_EQ(data.sections[0].keys.size(), 1u);
  EXPECT_EQ(data.sections[0].keys[0].name, "top");
  EXPECT_EQ(data.sections[1].name, "A");
  ASSERT_EQ(data.sections[1].keys.size(), 3u);
  EXPECT_EQ(data.sections[1].keys[0].name, "plain");
  EXPECT_FALSE(data.sections[1].keys[0].value.has_value());
  EXPECT_EQ(data.sections[1].keys[1].name, ";c");
  EXPECT_EQ(data.sections[1].keys[2].name, "x");
  EXPECT_EQ(data.sections[1].keys[2].value, "y");
  EXPECT_EQ(data.sections[2].name, "");
  EXPECT_TRUE(ParseProfile("").sections.size() == 1 && ParseProfile("").sections[0].keys.empty());
}

TEST(ParseProfile, DropsANamelessKeyRightAfterAnotherNamelessKey) {
  ProfileData data = ParseProfile("[s]\n=1\n=2\nk=3\n=4\n");
  ASSERT_EQ(data.sections.size(), 2u);
  std::vector<std::string> values;
  for (const auto& key : data.sections[1].keys) values.push_back(key.name + "=" + key.value.value_or("-"));
  EXPECT_EQ(values, (std::vector<std::string>{"=1", "k=3", "=4"}));
}

// The line rules the emulation and the win.ini writer share, each line read both ways.
TEST(ProfileSyntax, ReadsHeaderAndKeyLinesAsTheProfileFunctionsDo) {
  const struct {
    std::string line;
    std::optional<std::string> header;  // nullopt: no header
    std::string name;                   // as a key line
    std::optional<std::string> value;   // nullopt: no "="
  } cases[] = {
      {" \t[ Font Subs ] tail\x1A", "Font Subs", "[ Font Subs ] tail", std::nullopt},
      {"[a]b]=c", "a]b", "[a]b]", "c"},
      {"[]", "", "[]", std::nullopt},
      {"[no close = x", std::nullopt, "[no close", "x"},
      {"\v k \t= v = w \r", std::nullopt, "k", "v = w"},
      {"  plain  ", std::nullopt, "plain", std::nullopt},
      {"=", std::nullopt, "", ""},
      {";c=1", std::nullopt, ";c", "1"},
      {"k\xA0=\xA0v", std::nullopt, "k\xA0", "\xA0v"},
      {"[a\0b] "s, "a\0b"s, "[a\0b]"s, std::nullopt},
      {"k\0=v\0 "s, std::nullopt, "k\0"s, "v\0"s},
  };
  for (const auto& c : cases) {
    std::string header = "unchanged", name, value = "stale";
    EXPECT_EQ(ParseProfileHeader(c.line, header), c.header.has_value()) << c.line;
    EXPECT_EQ(header, c.header.value_or("unchanged")) << c.line;
    EXPECT_EQ(ParseProfileKeyLine(c.line, name, value), c.value.has_value()) << c.line;
    EXPECT_EQ(name, c.name) << c.line;
    EXPECT_EQ(value, c.value.value_or("")) << c.line;
  }
}

}  // namespace
}  // namespace sorel
