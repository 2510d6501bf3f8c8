// Profile-file cases with the results GetPrivateProfileStringA gives under Wine 8.
#include "tests/support/profile_cases.h"

#include <cstdio>

namespace sorel::test {

namespace {

using Ask = ProfileCase::Ask;

ProfileCase Names(std::string what, std::optional<std::string> text, std::vector<std::string> expected) {
  return {std::move(what), std::move(text), Ask::SectionNames, "", "", "", std::move(expected)};
}

ProfileCase Keys(std::string what, std::optional<std::string> text, std::string section,
                 std::vector<std::string> expected) {
  return {std::move(what), std::move(text), Ask::SectionKeys, std::move(section), "", "", std::move(expected)};
}

ProfileCase Lines(std::string what, std::optional<std::string> text, std::string section,
                  std::vector<std::string> expected) {
  return {std::move(what), std::move(text), Ask::SectionLines, std::move(section), "", "", std::move(expected)};
}

ProfileCase Value(std::string what, std::optional<std::string> text, std::string section, std::string key,
                  std::string def, std::string expected) {
  return {std::move(what), std::move(text), Ask::Value, std::move(section), std::move(key), std::move(def),
          {std::move(expected)}};
}

// "k00000001", "k00000002", ...: names of nine characters, ten bytes in a zero-separated list.
std::string Numbered(char prefix, int n) {
  char name[16];
  std::snprintf(name, sizeof(name), "%c%08d", prefix, n);
  return name;
}

// A section of count nine-character keys followed by the extra keys.
std::string ManyKeys(int count, const std::vector<std::string>& extra) {
  std::string text = "[Big]\r\n";
  for (int i = 1; i <= count; ++i) text += Numbered('k', i) + "=1\r\n";
  for (const auto& name : extra) text += name + "=1\r\n";
  return text;
}

std::vector<std::string> NumberedList(char prefix, int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back(Numbered(prefix, i));
  return names;
}

// The lines of ManyKeys' numbered keys.
std::vector<std::string> NumberedLines(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back(Numbered('k', i) + "=1");
  return lines;
}

template <typename T>
std::vector<T> Plus(std::vector<T> list, const std::vector<T>& more) {
  list.insert(list.end(), more.begin(), more.end());
  return list;
}

std::string ManySections(int count, const std::vector<std::string>& extra) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "[" + Numbered('s', i) + "]\r\n";
  for (const auto& name : extra) text += "[" + name + "]\r\n";
  return text;
}

std::vector<ProfileCase> Build() {
  const std::string table =
      "[fonts]\r\nx=1\r\n\r\n[FontSubstitutes]\r\nArial CE,238=Arial,238\r\nCourier New CYR,204=Courier New,204\r\n"
      "Helv=MS Sans Serif\r\n";
  const std::string x2047(2047, 'x');
  return {
      // The shape the program reads: win.ini's font table.
      Names("section names in file order", table, {"fonts", "FontSubstitutes"}),
      Keys("keys of the font table", table, "FontSubstitutes", {"Arial CE,238", "Courier New CYR,204", "Helv"}),
      Value("a font entry", table, "FontSubstitutes", "Arial CE,238", "", "Arial,238"),
      Value("section and key in other letter case", table, "FONTSUBSTITUTES", "arial ce,238", "", "Arial,238"),
      Keys("section in other letter case", table, "fontsubstitutes", {"Arial CE,238", "Courier New CYR,204", "Helv"}),
      Value("absent key gives the default", table, "FontSubstitutes", "Times", "dflt", "dflt"),
      Value("absent section gives the default", table, "Nothing", "Helv", "dflt", "dflt"),
      Keys("absent section has no keys", table, "Nothing", {}),
      // Only ASCII letters match regardless of case.
      Value("accented key in other case is another key", "[s]\r\n\xE4k=v\r\n", "s", "\xC4K", "dflt", "dflt"),
      Value("accented key in the same case", "[s]\r\n\xE4k=v\r\n", "s", "\xE4K", "dflt", "v"),
      Keys("accented section in other case is another section", "[\xE4s]\r\nk=v\r\n", "\xC4S", {}),
      // The win.ini sections a save must tell apart as the system does.
      Keys("a soft hyphen makes another section name", "[Font\xADSubstitutes]\r\nA=1\r\n[FontSubstitutes]\r\nB=2\r\n",
           "FontSubstitutes", {"B"}),
      Keys("a zero byte ends a section name", std::string("[FontSubstitutes\0]\r\nA=1\r\n", 25), "FontSubstitutes",
           {"A"}),
      Value("a soft hyphen makes another key", "[s]\r\nA\xAD" "B=1\r\nAB=2\r\n", "s", "AB", "", "2"),
      Value("a value loses one pair of quotes", "[s]\r\nk=\"\"x\"\"\r\n", "s", "k", "", "\"x\""),

      // Quotes.
      Value("double quotes go", "[s]\nk=\"x y\"\n", "s", "k", "", "x y"),
      Value("single quotes go", "[s]\nk='x y'\n", "s", "k", "", "x y"),
      Value("unmatched quotes stay", "[s]\nk=\"x y'\n", "s", "k", "", "\"x y'"),
      Value("opening quote alone stays", "[s]\nk=\"x y\n", "s", "k", "", "\"x y"),
      Value("a lone quote stays", "[s]\nk=\"\n", "s", "k", "", "\""),
      Value("an empty pair of quotes is empty", "[s]\nk=\"\"\n", "s", "k", "", ""),
      Value("quotes inside stay", "[s]\nk=a\"b\"\n", "s", "k", "", "a\"b\""),
      Value("blanks inside quotes stay", "[s]\nk= \" a \" \n", "s", "k", "", " a "),
      Value("only one pair goes", "[s]\nk=\"\"a\"\"\n", "s", "k", "", "\"a\""),
      Value("the default loses its quotes too", "[s]\n", "s", "k", "'d'", "d"),
      Keys("quoted key names keep their quotes", "[s]\n\"q\"=1\n'r'=2\n", "s", {"\"q\"", "'r'"}),
      Value("a quoted key is found with its quotes", "[s]\n\"q\"=1\n", "s", "\"q\"", "dflt", "1"),

      // Blanks.
      Value("blanks around the equals sign", "[s]\n  Key  =  Value  \n", "s", "Key", "", "Value"),
      Value("tabs, form feeds and Ctrl-Z are blanks", "[s]\n\t\fKey\x1A\t=\v\tValue \x1A\n", "s", "Key", "", "Value"),
      Value("a no-break space is not a blank", "[s]\nk\xA0=\xA0v\n", "s", "k\xA0", "dflt", "\xA0v"),
      Value("blanks inside a key stay", "[s]\na  b = c\n", "s", "a  b", "", "c"),
      Value("blanks around asked names are ignored", "[s]\nk=v\n", " s\t", " k ", "", "v"),
      Keys("blanks around the asked section count for key lists", "[s]\nk=v\n", " s", {}),
      Value("blanks in a header are ignored", "[ s\t]\nk=v\n", "s", "k", "", "v"),
      Value("text after the header's bracket is ignored", "[s] ; note\nk=v\n", "s", "k", "", "v"),
      Value("the last bracket closes the header", "[a]b]\nk=v\n", "a]b", "k", "", "v"),
      Value("indented header", "   [s]\nk=v\n", "s", "k", "", "v"),
      Value("equals signs in the value stay", "[s]\nk = a = b \n", "s", "k", "", "a = b"),
      Value("the default loses trailing spaces", "[s]\n", "s", "k", "  d  ", "  d"),
      Value("a default of spaces keeps one", "[s]\n", "s", "k", "   ", " "),

      // Duplicates: the first wins, and a repeated section is never searched.
      Value("first of duplicate keys", "[s]\nk=1\nK=2\n", "s", "k", "", "1"),
      Keys("duplicate keys are all listed", "[s]\nk=1\nK=2\nk=3\n", "s", {"k", "K", "k"}),
      Names("duplicate sections are all listed", "[s]\na=1\n[t]\nx=1\n[S]\nb=2\na=3\n", {"s", "t", "S"}),
      Keys("keys of the first of duplicate sections", "[s]\na=1\n[t]\nx=1\n[S]\nb=2\na=3\n", "s", {"a"}),
      Value("a key of the second of duplicate sections is not found", "[s]\na=1\n[t]\nx=1\n[S]\nb=2\na=3\n", "s",
            "b", "dflt", "dflt"),
      Value("the first of duplicate sections answers", "[s]\na=1\n[t]\nx=1\n[S]\nb=2\na=3\n", "S", "a", "", "1"),

      // Comments, lines without "=", empty values, nameless keys.
      Keys("comment lines are not keys", "[s]\n;c=1\nk=v\n; plain\n#h=1\n", "s", {"k", "#h"}),
      Value("a comment line still answers to its name", "[s]\n;c=1\n", "s", ";c", "dflt", "1"),
      Keys("lines without = are not keys", "[s]\nnoeq\nk=v\n", "s", {"k"}),
      Value("a line without = gives the default", "[s]\nnoeq\n", "s", "noeq", "dflt", "dflt"),
      Value("an empty value is empty, not the default", "[s]\nk=\n", "s", "k", "dflt", ""),
      Keys("a key with an empty value is listed", "[s]\nk=\nj=1\n", "s", {"k", "j"}),
      Keys("a nameless key ends the key list", "[s]\nk=v\n=w\nj=1\n", "s", {"k"}),
      Keys("a nameless first key empties the key list", "[s]\n=w\nj=1\n", "s", {}),
      Value("a nameless key answers to an empty name", "[s]\nk=v\n=w\n", "s", "", "dflt", "w"),
      Value("an empty name without nameless key", "[s]\nk=v\n", "s", "", "dflt", "dflt"),
      Names("empty and unclosed headers are no sections", "[s]\n[]\n[ u ]\n[v\nk=1\n", {"s", "u"}),
      Value("an unclosed header is a key line", "[s]\n[v=3\n", "s", "[v", "dflt", "3"),
      Value("a header inside a value is text", "[s]\nk=[t]\n", "s", "k", "", "[t]"),
      Keys("keys before the first header belong to the nameless section", "k=v\n[s]\nj=1\n", "", {"k"}),
      Value("a key before the first header", "k=v\n[s]\n", "", "k", "dflt", "v"),
      Value("a zero byte ends the value", std::string("[s]\nk=a\0b\nj=2\n", 14), "s", "k", "", "a"),
      Value("the line after a zero byte is read", std::string("[s]\nk=a\0b\nj=2\n", 14), "s", "j", "", "2"),

      // Line ends.
      Keys("CR line ends", "[s]\ra=1\rb=2\r", "s", {"a", "b"}),
      Value("CR line ends: value", "[s]\ra=1\rb=2\r", "s", "a", "", "1"),
      Keys("LF line ends", "[s]\na=1\nb=2\n", "s", {"a", "b"}),
      Keys("CR LF line ends", "[s]\r\na=1\r\nb=2\r\n", "s", {"a", "b"}),
      Keys("mixed line ends and empty lines", "[s]\n\r\n\ra=1\n\rb=2\r\r\nc=3", "s", {"a", "b", "c"}),
      Value("last line without line end", "[s]\r\nk=v", "s", "k", "", "v"),

      // Lengths.
      Value("a value of 2047 characters", "[s]\nk=" + x2047 + "\n", "s", "k", "", x2047),
      Value("a value of 2048 characters is cut", "[s]\nk=" + x2047 + "y\n", "s", "k", "", x2047),
      Value("a value of 5000 characters is cut", "[s]\nk=" + std::string(5000, 'z') + "\n", "s", "k", "",
            std::string(2047, 'z')),
      Value("a quoted value of 2046 characters", "[s]\nk=\"" + std::string(2046, 'x') + "\"\n", "s", "k", "",
            std::string(2046, 'x')),
      // The closing quote falls just outside the buffer, yet one character is still dropped.
      Value("a quoted value of 2047 characters loses one more", "[s]\nk=\"" + x2047 + "\"\n", "s", "k", "",
            std::string(2046, 'x')),
      Value("a quoted value of 2048 characters", "[s]\nk=\"" + x2047 + "y\"\n", "s", "k", "", x2047),
      Value("a long default is cut", "[s]\n", "s", "k", std::string(3000, 'd'), std::string(2047, 'd')),
      // 16384 bytes hold 1638 names of ten bytes; the 1639th is cut to what is left but for the
      // list's final zero.
      Keys("a key list longer than 16384 bytes", ManyKeys(1700, {}), "Big",
           Plus(NumberedList('k', 1638), {"k0"})),
      Keys("a last key that just fits", ManyKeys(1637, {"abcdefghijkl", "next"}), "Big",
           Plus(NumberedList('k', 1637), {"abcdefghijkl"})),
      Keys("a last key one byte too long", ManyKeys(1637, {"abcdefghijklm", "next"}), "Big",
           Plus(NumberedList('k', 1637), {"abcdefghijkl"})),
      Names("a section list longer than 16384 bytes", ManySections(1700, {}),
            Plus(NumberedList('s', 1638), {"s0"})),
      Names("a last section name that fills the list", ManySections(1637, {"abcdefghijkl", "next"}),
            Plus(NumberedList('s', 1637), {"abcdefghijkl"})),
      Names("a last section name that leaves no room after it", ManySections(1637, {"abcdefghijk", "next"}),
            Plus(NumberedList('s', 1637), {"abcdefghijk"})),

      // The whole section, for reading a table however long it is.
      Lines("section lines: values as stored, bare names, no comments",
            "[s]\r\n  k = \" v \" \r\n;c=1\r\nbare\r\n\r\n=nameless\r\nK=second\r\n[t]\r\nx=1\r\n", "s",
            {"k=\" v \"", "bare", "=nameless", "K=second"}),
      Lines("section lines of the first section of that name, trimmed name asked as is", "[S]\nA=1\n[s]\nB=2\n", "s",
            {"A=1"}),
      Lines("section lines longer than any list buffer, past a nameless key", ManyKeys(1700, {"", "last"}), "Big",
            Plus(NumberedLines(1700), {"=1", "last=1"})),
      Lines("section lines: a value longer than 2047 characters comes whole", "[s]\nk=" + std::string(3000, 'v') + "\n",
            "s", {"k=" + std::string(3000, 'v')}),
      Lines("section lines: missing section", "[s]\nA=1\n", "t", {}),

      // No file at all.
      Names("missing file: no sections", std::nullopt, {}),
      Keys("missing file: no keys", std::nullopt, "s", {}),
      Value("missing file: the default", std::nullopt, "s", "k", "'dflt' ", "dflt"),
      Names("empty file", "", {}),
  };
}

}  // namespace

const std::vector<ProfileCase>& ProfileCases() {
  static const std::vector<ProfileCase> cases = Build();
  return cases;
}

std::vector<std::string> AskProfile(ProfileFiles& profiles, const std::string& file, const ProfileCase& c) {
  switch (c.ask) {
    case ProfileCase::Ask::SectionNames:
      return profiles.SectionNames(file);
    case ProfileCase::Ask::SectionKeys:
      return profiles.SectionKeys(file, c.section);
    case ProfileCase::Ask::Value:
      return {profiles.ReadString(file, c.section, c.key, c.def)};
    case ProfileCase::Ask::SectionLines:
      return profiles.SectionLines(file, c.section);
  }
  return {};
}

}  // namespace sorel::test
