// The update component without the network: the page's lines, dates, versions, its settings, and
// the numbers and names the download flow shows and saves under.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "update/WebFileInfo.h"

namespace sorel::test {
namespace {

using enum TWfiOption;
using enum TWfiVersionFormat;

TEST(UpdateVersion, FieldsComparedAsNumbersMissingOnesAsZero) {
  struct Case {
    const char *what, *current, *page;
    TWfiVersionFormat format;
    bool newer;
  } cases[] = {
      {"a later last field", "1.1.1.13", "1.1.1.14", wfivBuildNumber, true},
      {"the same version", "1.1.1.13", "1.1.1.13", wfivBuildNumber, false},
      {"a later third field, one field less", "1.1.1.13", "1.1.2", wfivBuildNumber, true},
      {"a later second field, two fields less", "1.1.1.13", "1.2", wfivBuildNumber, true},
      {"a missing field is 0: 13 against 0", "1.1.1.13", "1.1.1", wfivBuildNumber, false},
      {"a field only the page has", "1.1", "1.1.5", wfivBuildNumber, true},
      {"a zero field only we have", "1.1.0", "1.1", wfivBuildNumber, false},
      {"shorter page, the same version", "1.2.0.0", "1.2", wfivBuildNumber, false},
      {"shorter page, an older version", "1.1.3.1", "1.1.3", wfivBuildNumber, false},
      {"shorter current, a zero field on the page", "1.2", "1.2.0.0", wfivBuildNumber, false},
      {"shorter current, a later last field", "1.2", "1.2.0.1", wfivBuildNumber, true},
      {"numbers, not texts: 10 after 9", "1.10", "1.9", wfivBuildNumber, false},
      {"numbers, not texts: 9 before 10", "1.9", "1.10", wfivBuildNumber, true},
      {"an earlier first field decides", "2.0", "1.9.9", wfivBuildNumber, false},
      {"1b counts as 0 on the page", "1.0", "1.1b", wfivBuildNumber, false},
      {"1b counts as 0 here", "1.1b", "1.1", wfivBuildNumber, true},
      {"the program's integer conversion", "1.9", "1.$A", wfivBuildNumber, true},
      {"no current version", "", "1.0", wfivBuildNumber, true},
      {"a page without a version", "0.5", "", wfivBuildNumber, false},
      {"texts: 9 after 10", "1.10", "1.9", wfivSimpleString, true},
      {"texts: 10 before 9", "1.9", "1.10", wfivSimpleString, false},
      {"a proper prefix sorts first", "1.1", "1.1.0", wfivSimpleString, true},
      {"equal texts", "1.1", "1.1", wfivSimpleString, false},
      {"unsigned bytes", "1.z", "1.\xE9", wfivSimpleString, true},
      {"letter case counts", "a", "B", wfivSimpleString, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNewerVersion(c.current, c.page, c.format), c.newer) << c.what;
}

TEST(UpdateText, IntegersAsTheProgramReadsThem) {
  struct Group {
    const char* what;
    std::vector<std::pair<const char*, std::optional<std::int32_t>>> rows;
  } groups[] = {
      {"decimal after blanks and one sign", {{"0", 0}, {"0042", 42}, {"   42", 42}, {"+7", 7}, {"-7", -7}}},
      {"hexadecimal after $, 0x or 0X", {{"$1F", 31}, {"0x1f", 31}, {"0X1F", 31}, {"-$10", -16}}},
      {"the 32-bit limits", {{"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"-0x80000000", INT32_MIN}}},
      {"no digits", {{"", {}}, {"   ", {}}, {"-", {}}, {"$", {}}, {"0x", {}}}},
      {"blanks or stray characters", {{"12 ", {}}, {"1 2", {}}, {"\t1", {}}, {"1a", {}}, {"$1G", {}}, {"- 1", {}},
                                       {"--1", {}}, {"0x-1", {}}, {"00x1", {}}}},
      {"out of range", {{"2147483648", {}}, {"-2147483649", {}}, {"0x80000000", {}}, {"$100000000", {}},
                        {"99999999999999999999999", {}}}},
  };
  for (const auto& g : groups)
    for (const auto& [text, value] : g.rows) EXPECT_EQ(ParseIntegerText(text), value) << g.what << ": " << text;
}

// The values a page gave, in the order of the tags, empty ones left out.
std::string PageValues(const TWebFileInfo& info) {
  std::string out;
  const std::pair<const char*, std::string> values[] = {
      {"N", info.ProductName()},     {"RM", info.ProductReadMe()}, {"RX", info.ProductReadMeExt()},
      {"V", info.ProductVersion()},  {"D", info.ProductDateStr()}, {"A", info.ProductAuthor()},
      {"E", info.ProductAuthorEMail()}, {"U", info.DownloadURL()}, {"R", info.RedirectURL()},
      {"P", info.RunParams()},       {"F", info.DownloadFileName()},
      {"date", info.ProductDate() != 0 ? std::to_string(info.ProductDate()) : ""}};
  for (const auto& [name, value] : values)
    if (!value.empty()) out += std::string(out.empty() ? "" : "; ") + name + "=" + value;
  return out;
}

// The main window's configuration: three named tags, the other seven empty.
void MainWindowTags(TWebFileInfo& info) {
  info.InfoTags().ReadMeTag = "zel-readme";
  info.InfoTags().VersionTag = "zel-version";
  info.InfoTags().DownloadTag = "zel-url";
}

TEST(UpdatePage, ValuesTakenFromMetaLines) {
  const std::string d = "Jan 15, 2002";
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::string values;
    bool throws = false;
  } cases[] = {
      {"the main window's page",
       {"<html><head>", R"(<META NAME="zel-readme" CONTENT="http://h/readme.txt">)",
        R"(<META NAME="zel-version" CONTENT="1.1.3.7">)", R"(<META NAME="zel-url" CONTENT="http://h/f/setup.exe">)"},
       "RM=http://h/readme.txt; V=1.1.3.7; U=http://h/f/setup.exe; F=setup.exe"},
      {"meta in lower case, CONTENT= in capitals", {R"(<meta name="zel-version" CONTENT="2.0">)"}, "V=2.0"},
      {"content= in lower case: from the line's ninth character to a quote",
       {R"(<meta name="zel-version" content="2.0">)"}, "V=me="},
      {"a name in other case is another name", {R"(<META NAME="ZEL-VERSION" CONTENT="2.0">)"}, ""},
      {"the later line of a name wins",
       {R"(<META NAME="zel-version" CONTENT="1.0">)", R"(<META NAME="zel-version" CONTENT="2.0">)"}, "V=2.0"},
      {"CONTENT= anywhere on the line", {R"(CONTENT="x" <META NAME="zel-version">)"}, "V=x"},
      {"a ReadMe without a download", {R"(<META NAME="zel-readme" CONTENT="r.txt">)"}, "RM=r.txt"},
      {"lines end at CR, LF or CR LF",
       {"<META NAME=\"zel-version\" CONTENT=\"1\">\r<META NAME=\"zel-url\" CONTENT=\"a/u\">\n"
        "<META NAME=\"zel-readme\" CONTENT=\"r\">\r\nx"},
       "RM=r; V=1; U=a/u; F=u"},
      {"an empty name fills the seven empty tags and is a date",
       {R"(<META NAME="" CONTENT="Jan 15, 2002">)"},
       "N=" + d + "; RX=" + d + "; D=" + d + "; A=" + d + "; E=" + d + "; R=" + d + "; P=" + d +
           "; date=37271.000000"},
      {"an empty name that is no date ends the page after its values are taken",
       {R"(<META NAME="zel-version" CONTENT="3">)", R"(<META NAME="" CONTENT="soon">)"},
       "N=soon; RX=soon; V=3; D=soon; A=soon; E=soon; R=soon; P=soon", true},
  };
  for (const auto& c : cases) {
    TWebFileInfo info;
    MainWindowTags(info);
    std::string text;
    for (const auto& line : c.lines) text += line + "\r\n";
    bool threw = false;
    try {
      info.ReadPage(text);
    } catch (const EConvertError& e) {
      threw = true;
      EXPECT_STREQ(e.what(), "'soon' is not a valid date") << c.what;
    }
    EXPECT_EQ(threw, c.throws) << c.what;
    EXPECT_EQ(PageValues(info), c.values) << c.what;
  }
}

TEST(UpdatePage, DateFormatAndClearingBetweenPages) {
  TWebFileInfo info;
  MainWindowTags(info);
  info.InfoTags().DateTag = "zel-date";
  info.SetDateFormat(TWfiDateFormat::wfidNone);
  info.ParsePage({R"(<META NAME="zel-date" CONTENT="soon">)", R"(<META NAME="zel-url" CONTENT="http://h/u.zip">)"});
  EXPECT_EQ(PageValues(info), "D=soon; U=http://h/u.zip") << "no conversion: no date and no error";
  info.ReadPage(R"(<META NAME="zel-version" CONTENT="9">)");
  EXPECT_EQ(PageValues(info), "V=9; D=soon; U=http://h/u.zip; F=u.zip") << "a page only adds what it names";
  info.ClearPageValues();
  EXPECT_EQ(PageValues(info), "F=u.zip") << "every page value goes before a fetch; the file name waits for a page";
}

TEST(UpdatePage, QuotedValuesStayInsideTheLineAndTheWindow) {
  const std::string value999(999, 'v'), value1000(1000, 'v');
  // A line, its value and its name.
  const std::tuple<std::string, std::string, std::optional<std::string>> cases[] = {
      {R"(<META NAME="n" CONTENT="a"b">)", "a", "n"},
      {R"(<Meta Name="Mixed" CONTENT="x">)", "x", "Mixed"},
      {"<META NAME=\"n\" CONTENT=\"" + value999 + "\">", value999, "n"},
      {"<META NAME=\"" + value1000 + "\" CONTENT=\"" + value1000 + "\">", "", ""},
      {R"(<META NAME="n" CONTENT="open)", "", "n"},
      {"META NAME", "", ""},
      {"x CONTENT=", "", std::nullopt},
      {"short", "", std::nullopt},
  };
  for (const auto& [line, content, name] : cases) {
    EXPECT_EQ(ExtractContent(line), content) << line.substr(0, 40);
    EXPECT_EQ(ExtractTagName(line), name) << line.substr(0, 40);
  }
}

TEST(UpdatePage, DatesAsDaysSince18991230) {
  struct Group {
    const char* what;
    std::vector<std::pair<const char*, std::optional<double>>> rows;
  } groups[] = {
      {"dates", {{"Jan 15, 2002", 37271}, {"jAN 5, 2002", 37261}, {"Jan 05, 2002", 37261}, {"Dec 30, 1899", 0},
                 {"Dec 29, 1899", -1}, {"Mar 1, 1900", 61}, {"Feb 29, 2000", 36585}, {"Dec 31, 9999", 2958465}}},
      {"impossible dates", {{"Feb 29, 2001", {}}, {"Feb 29, 1900", {}}, {"Feb 30, 2000", {}}, {"Apr 31, 2002", {}},
                            {"Jan 0, 2002", {}}, {"Jan 32, 2002", {}}, {"Jan 15, 0000", {}}}},
      {"not the form", {{"Xyz 15, 2002", {}}, {"ANF 15, 2002", {}}, {"Jan 15 2002", {}}, {"Jan 15, 2002 ", {}}}},
      {"too short for the fixed offsets", {{"", {}}, {",", {}}, {"J,", {}}, {"Jan,", {}}, {"1,x", {}}}},
  };
  for (const auto& g : groups)
    for (const auto& [text, days] : g.rows) {
      if (days) EXPECT_EQ(ParseDate(text), *days) << g.what << ": " << text;
      else EXPECT_THROW(ParseDate(text), EConvertError) << g.what << ": " << text;
    }
}

// A component after a successful fetch.
struct FetchedInfo : TWebFileInfo {
  FetchedInfo() { active_ = true; }
};

TEST(UpdateSettings, HomeAddressActiveOptionsAndFont) {
  const std::pair<const char*, bool> urls[] = {
      {"http://x/p.htm", true}, {"HTTP://X/", true}, {"hTtP://", true},   {"https://x/", false},
      {"http:/", false},        {"", false},         {"ftp://x/", false}, {" http://x/", false}};
  for (const auto& [url, taken] : urls) {
    FetchedInfo info;
    info.SetHomeURL(url);
    EXPECT_EQ(info.HomeURL(), taken ? url : "") << url;
    EXPECT_EQ(info.Active(), !taken) << "a new address makes the next use fetch: " << url;
  }
  FetchedInfo info;
  info.SetHomeURL("http://old/");
  info.SetHomeURL("https://new/");
  EXPECT_EQ(info.HomeURL(), "http://old/");
  info.SetActive(true);
  EXPECT_FALSE(info.Active()) << "only a fetch makes it active";
  FetchedInfo fetched;
  fetched.SetActive(false);
  EXPECT_FALSE(fetched.Active());

  EXPECT_EQ(info.Options(), TWfiOptions({wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate}));
  info.SetOptions({});
  EXPECT_EQ(info.Options(), TWfiOptions({wfioDisplayUI}));
  info.SetOptions(TWfiOptions({wfioAlwaysOverwrite, wfioDisplayUI}).Exclude(wfioDisplayUI));
  EXPECT_EQ(info.Options(), TWfiOptions({wfioAlwaysOverwrite, wfioDisplayUI}));

  FontSpec owner{"Tahoma", 238, 9};
  TWebFileInfo follower([&] { return owner; });
  EXPECT_EQ(follower.UIFont(), owner);
  owner.points = 12;
  EXPECT_EQ(follower.UIFont().points, 12) << "the owner's font is copied at every read";
  const FontSpec own{"Arial", 0, 10};
  follower.SetUIFont(own);
  EXPECT_FALSE(follower.UIOwnerFont());
  EXPECT_EQ(follower.UIFont(), own);
  follower.SetUIOwnerFont(true);
  EXPECT_EQ(follower.UIFont(), owner);
}

TEST(UpdateFlowText, PortsExtensionsAndProgress) {
  for (const char* port : {"1", "80", "8080", "9999", " 80", "$50"}) EXPECT_TRUE(ValidProxyPort(port)) << port;
  for (const char* port : {"0", "10000", "65535", "", "abc", "80 ", "-80"}) EXPECT_FALSE(ValidProxyPort(port)) << port;

  const std::tuple<const char*, int, const char*> names[] = {
      {"setup", 1, "setup.EXE"}, {"setup", 2, "setup.ZIP"}, {"setup", 3, "setup"}, {"setup.bin", 1, "setup.bin"},
      {"setup.bin", 2, "setup.bin"}, {"C:\\x.y\\setup", 1, "C:\\x.y\\setup.EXE"},
      {"C:/x.y/setup", 2, "C:/x.y/setup.ZIP"}, {"C:\\d\\setup.", 1, "C:\\d\\setup."}};
  for (const auto& [path, filter, saved] : names)
    EXPECT_EQ(WithDefaultExtension(path, filter), saved) << path << " " << filter;

  const std::pair<std::int64_t, const char*> numbers[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {-1, "-1"}, {12345, "12,345"}, {100000, "100,000"},
      {-1234567, "-1,234,567"}, {INT32_MAX, "2,147,483,647"}, {INT32_MIN, "-2,147,483,648"},
      {3000000000, "3,000,000,000"}, {INT64_MIN, "-9,223,372,036,854,775,808"}};
  for (const auto& [value, text] : numbers) EXPECT_EQ(FormatThousands(value), text);

  const std::int64_t max = INT64_MAX, bit31 = std::int64_t{1} << 31;
  struct Group {
    const char* what;
    std::vector<std::tuple<std::int64_t, std::int64_t, int>> rows;
  } progress[] = {
      {"rounded toward zero", {{0, 100, 0}, {1, 100, 1}, {99, 100, 99}, {1, 3, 33}, {2, 3, 66}}},
      {"clamped, or no total", {{100, 100, 100}, {150, 100, 100}, {-5, 100, 0}, {5, 0, 0}, {5, -1, 0}}},
      {"past 32 bits", {{bit31, 2 * bit31, 50}, {bit31 - 1, bit31, 99}}},
      {"near the 64-bit limit", {{max - 1, max, 99}, {max / 2, max, 49}, {max / 100, max, 0}, {max / 100 + 1, max, 1}}},
  };
  for (const auto& g : progress)
    for (const auto& [received, total, percent] : g.rows)
      EXPECT_EQ(ProgressPercent(received, total), percent) << g.what << ": " << received << "/" << total;
}

TEST(UpdateFlowText, NamesFromTheNetwork) {
  const std::string a96(96, 'a'), a99(99, 'a'), a100(100, 'a'), a150(150, 'a');
  struct Group {
    const char* what;
    std::vector<std::pair<std::string, std::string>> rows;
  } groups[] = {
      {"kept as it is", {{"setup.exe", "setup.exe"}, {"\xE9t\xE9.txt", "\xE9t\xE9.txt"}, {"COM10.txt", "COM10.txt"},
                         {"console.txt", "console.txt"}}},
      {"cut after the last separator", {{"a\\..\\..\\x.exe", "x.exe"}, {"dir/sub/x.zip", "x.zip"}}},
      {"forbidden and control characters dropped",
       {{"C:x.exe", "Cx.exe"}, {"x.exe:stream", "x.exestream"}, {"a<b>c|d?e*f\"g.txt", "abcdefg.txt"},
        {"x\x01y\x1F\x7F\t.txt", "xy.txt"}}},
      {"trailing dots and blanks stripped", {{"x.exe. . .", "x.exe"}, {a99 + "  b", a99}}},
      {"nothing left", {{"..", "update.bin"}, {".", "update.bin"}, {"", "update.bin"}, {"a/", "update.bin"},
                        {"::", "update.bin"}}},
      {"devices", {{"CON", "update.bin"}, {"con", "update.bin"}, {"nul.txt", "update.bin"}, {"Com1.exe", "update.bin"},
                   {"LPT9", "update.bin"}, {"NUL .txt", "update.bin"}, {"aux.tar.gz", "update.bin"},
                   {"CONIN$", "update.bin"}, {"prn.", "update.bin"}, {"COM\xB9.exe", "update.bin"},
                   {"lpt\xB2", "update.bin"}, {"LPT\xB3.txt", "update.bin"}, {"CLOCK$", "update.bin"},
                   {"clock$.txt", "update.bin"}, {"COM\xB4.exe", "COM\xB4.exe"}, {"CONxx." + std::string(96, 'e'), "update.bin"}}},
      {"long names cut, the extension kept",
       {{a150 + ".exe", a96 + ".exe"}, {a150, a100}, {"x." + a150, "x." + std::string(98, 'a')}}},
  };
  for (const auto& g : groups)
    for (const auto& [name, safe] : g.rows) EXPECT_EQ(SafeFileName(name), safe) << g.what << ": " << name.substr(0, 40);

  EXPECT_EQ(LastUrlSegment("http://h/a/b.exe"), "b.exe");
  EXPECT_EQ(LastUrlSegment("b.exe"), "b.exe");
  EXPECT_EQ(LastUrlSegment("http://h/dir/"), "");
  EXPECT_EQ(LastUrlSegment("http://h/" + std::string(1500, 'n')), std::string(1000, 'n'));

  for (const char* name : {"readme.txt", "ReadMe.HTML", "x.htm", "x.rtf", "x.PDF", ".txt"})
    EXPECT_TRUE(IsDocumentName(name)) << name;
  for (const char* name : {"x.exe", "x.txt.exe", "readme", "a.txt\\b", "x.txtx", "x.tx", "x.html ", "x.bat"})
    EXPECT_FALSE(IsDocumentName(name)) << name;
}

}  // namespace
}  // namespace sorel::test
