// Tests of the shipped LangRes.ini, as the build generates it from data/langres, read through the
// profile-file emulation the way the program reads it.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/fakes/memory_files.h"
#include "tests/fakes/memory_profile.h"

#ifndef SOREL_LANGRES_PATH
#error "SOREL_LANGRES_PATH must name the generated LangRes.ini (tests/CMakeLists.txt)"
#endif

namespace sorel {
namespace {

const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";
const char* const kAbsent = "\x01(absent)";  // a default no real value can equal

// Section names as bytes: each language's name is in its own code page.
const char* const kCestina = "\xC8" "e\x9Atina";                     // Čeština in 1250
const char* const kRusskij = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9";        // Русский in 1251

// The languages, in file order.
struct Language {
  const char* section;
  const char* codePage;
  const char* defLangVal;
  const char* dialogCaption;  // "dLangChoose", in the language's code page
};

const Language kLanguages[] = {
    {"Polski", "CP1250", "238", "Wyb\xF3r j\xEAzyka"},
    {"English", "CP1252", "0", "Select language"},
    {"Deutsch", "CP1252", "0", "Sprache w\xE4hlen"},
    {kCestina, "CP1250", "238", "V\xFD" "b\xEC" "r jazyka"},
    {kRusskij, "CP1251", "204", "\xC2\xFB\xE1\xEE\xF0 \xFF\xE7\xFB\xEA\xE0"},
};

// The sample sets, in file order.
const char* const kSampleSets[] = {"Samplez-Pangrams", "Samplez-Alphabet"};

// The keys every language must give, in the order the program reads them, then the dialog's.
const char* const kFixedKeys[] = {
    "WSRegistry", "WSWinIni", "WSSaveTitle", "WSSaveText", "WSRestartText", "WSRestartTitle",
    "btOnOffHint", "btMaskedOnOffHint", "btLangChooseHint", "btWesternMapHint", "btPreviewHint",
    "frmPreviewCaption", "frmPreviewbtBoldHint", "frmPreviewbtItalicHint",
    "frmPreviewbtPrintSetupHint", "frmPreviewbtPrintHint", "btSampleSelectHint", "btWebUpdateHint",
    "btLangResEditHint", "btOpenFontsFolderHint", "tbToolbox", "RSBadPort", "RSProxyCaption",
    "RSProxyHost", "RSProxyPort", "mEnableAll", "mDisableAll", "mEnableAllof", "mDisableAllof",
    "Readme", "DefNLsSubst", "WSNLsMissing", "WSUpdateNotSigned", "WSUpdateSaved", "DefLangVal", "dLangChoose"};

// Controls whose captions a language sets. OsVer and Label2 are left alone: the program
// overwrites them.
const char* const kCaptionKeys[] = {"LBDescription", "LabelSample", "LabelAbout1", "LabelContact",
                                    "MailTo",        "LabelHTTP",   "URLLink",     "btRestore",
                                    "btOK",          "btCancel",    "TabSheet1",   "TabSheet2"};

// Buttons and tabs of one window: each caption has one accelerator, all different.
const char* const kAcceleratedKeys[] = {"btRestore", "btOK", "btCancel", "TabSheet1", "TabSheet2"};

// How the text of each character set is encoded and which letters show that it is that script.
struct Script {
  int charset;
  const char* codePage;
  std::vector<std::pair<char32_t, char32_t>> letters;  // inclusive ranges
  int minLetters;
};

const std::vector<Script>& Scripts() {
  static const std::vector<Script> scripts = {
      {0, "CP1252", {{U'A', U'Z'}, {U'a', U'z'}}, 20},
      {238, "CP1250", {{0x0100, 0x017F}}, 5},
      {204, "CP1251", {{0x0400, 0x04FF}}, 20},
      {161, "CP1253", {{0x0370, 0x03FF}}, 20},
      {162, "CP1254", {{0x011E, 0x011F}, {0x0130, 0x0131}, {0x015E, 0x015F}}, 2},
      {186, "CP1257", {{0x0100, 0x017F}}, 5},
      {177, "CP1255", {{0x05D0, 0x05EA}}, 15},
      {178, "CP1256", {{0x0620, 0x064A}}, 15},
      {163, "CP1258", {{0x0102, 0x0103}, {0x0110, 0x0111}, {0x01A0, 0x01A1}, {0x01AF, 0x01B0},
                       {0x0300, 0x0323}, {0x1EA0, 0x1EF9}}, 5},
      {222, "CP874", {{0x0E01, 0x0E5B}}, 20},
      {128, "CP932", {{0x3040, 0x30FF}}, 20},
      {129, "CP949", {{0xAC00, 0xD7A3}, {0x3131, 0x318E}}, 10},
      {134, "CP936", {{0x4E00, 0x9FFF}}, 10},
      {136, "CP950", {{0x4E00, 0x9FFF}}, 10},
  };
  return scripts;
}

const Script* FindScript(const std::string& charset) {
  for (const auto& s : Scripts())
    if (std::to_string(s.charset) == charset) return &s;
  return nullptr;
}

// Decodes bytes of a code page to code points; nothing when a byte sequence is not valid there.
std::optional<std::u32string> Decode(const std::string& bytes, const char* codePage) {
  iconv_t cd = iconv_open("UTF-32LE", codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in = bytes;
  std::string out(bytes.size() * 8 + 16, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  std::size_t flushed = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || flushed == static_cast<std::size_t>(-1) || inLeft != 0)
    return std::nullopt;
  std::u32string text;
  for (const char* p = out.data(); p < outPtr; p += 4) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    text.push_back(static_cast<char32_t>(u[0] | u[1] << 8 | u[2] << 16 | static_cast<char32_t>(u[3]) << 24));
  }
  return text;
}

// Folds the letters our captions use (ASCII, Latin-1, Cyrillic) to lower case.
char32_t Fold(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
    return c + 0x20;
  return c;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

class LangResFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(SOREL_LANGRES_PATH, std::ios::binary);
    ASSERT_TRUE(in) << "cannot open " << SOREL_LANGRES_PATH;
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes_.empty()) << SOREL_LANGRES_PATH;
    files_.Put(kLangRes, bytes_);
  }

  std::vector<std::string> Sections() { return profiles_.SectionNames(kLangRes); }
  std::vector<std::string> Keys(const std::string& section) { return profiles_.SectionKeys(kLangRes, section); }
  std::string Value(const std::string& section, const std::string& key) {
    return profiles_.ReadString(kLangRes, section, key, kAbsent);
  }
  // A section as the program reads it: every key with its value, in file order.
  std::vector<std::pair<std::string, std::string>> Read(const std::string& section) {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const auto& key : Keys(section)) lines.emplace_back(key, Value(section, key));
    return lines;
  }
  std::vector<std::string> SampleSets() {
    std::vector<std::string> sets;
    for (const auto& name : Sections())
      if (StartsWith(name, "Samplez")) sets.push_back(name);
    return sets;
  }

  std::string bytes_;
  MemoryFileSystem files_;
  MemoryProfileFiles profiles_{files_, "C:\\windows"};
};

TEST_F(LangResFile, IsCrLfTextThatStartsWithAComment) {
  EXPECT_EQ(bytes_[0], ';') << "the first line says what the file holds";
  EXPECT_NE(bytes_.rfind("\xEF\xBB\xBF", 0), 0u) << "no byte-order mark: the system would read it as text";
  EXPECT_EQ(bytes_.find('\0'), std::string::npos);
  ASSERT_GE(bytes_.size(), 2u);
  EXPECT_EQ(bytes_.substr(bytes_.size() - 2), "\r\n");
  std::size_t start = 0, lineNo = 1;
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (bytes_[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes_[i - 1] == '\r') << "line " << lineNo << " ends with a bare LF";
      std::size_t length = i - start - (i > 0 && bytes_[i - 1] == '\r' ? 1 : 0);
      EXPECT_LE(length, 2047u) << "line " << lineNo << " is longer than a value the system reads";
      start = i + 1;
      ++lineNo;
    } else if (bytes_[i] == '\r') {
      EXPECT_TRUE(i + 1 < bytes_.size() && bytes_[i + 1] == '\n') << "line " << lineNo << ": a CR inside a line";
    }
  }
}

TEST_F(LangResFile, HoldsTheExpectedSectionsInOrderWithinTheListLimits) {
  std::vector<std::string> expected = {"IniStrings", "NLSMaps"};
  for (const auto& lang : kLanguages) expected.push_back(lang.section);
  expected.insert(expected.end(), std::begin(kSampleSets), std::end(kSampleSets));
  std::vector<std::string> sections = Sections();
  EXPECT_EQ(sections, expected);

  std::size_t listBytes = 1;
  std::set<std::string> seen;
  for (const auto& name : sections) {
    listBytes += name.size() + 1;
    EXPECT_TRUE(seen.insert(Lower(name)).second) << "section " << name << " twice";
    std::size_t keyBytes = 1;
    std::set<std::string> keys;
    for (const auto& key : Keys(name)) {
      keyBytes += key.size() + 1;
      EXPECT_TRUE(keys.insert(Lower(key)).second) << name << ": key " << key << " twice; only the first counts";
    }
    EXPECT_LT(keyBytes, kProfileListBuffer) << name;
  }
  EXPECT_LT(listBytes, kProfileListBuffer);
}

TEST_F(LangResFile, EveryLanguageGivesEveryFixedKeyAndCaption) {
  for (const auto& lang : kLanguages) {
    for (const char* key : kFixedKeys) {
      std::string value = Value(lang.section, key);
      EXPECT_NE(value, kAbsent) << lang.section << " lacks " << key;
      EXPECT_FALSE(value.empty()) << lang.section << ": " << key << " is empty";
    }
    for (const char* key : kCaptionKeys) {
      std::string value = Value(lang.section, key);
      EXPECT_NE(value, kAbsent) << lang.section << " lacks the caption of " << key;
      EXPECT_FALSE(value.empty()) << lang.section << ": " << key << " is empty";
    }
  }
}

TEST_F(LangResFile, LanguagesHoldOnlyKeysTheProgramReads) {
  std::set<std::string> known(std::begin(kFixedKeys), std::end(kFixedKeys));
  known.insert(std::begin(kCaptionKeys), std::end(kCaptionKeys));
  for (const auto& lang : kLanguages) {
    for (const auto& key : Keys(lang.section))
      EXPECT_TRUE(known.count(key)) << lang.section << ": unknown or misspelt key " << key;
  }
}

TEST_F(LangResFile, LanguagesAreInTheirOwnCodePage) {
  for (const auto& lang : kLanguages) {
    EXPECT_EQ(Value(lang.section, "dLangChoose"), lang.dialogCaption) << lang.section;
    for (const auto& [key, value] : Read(lang.section))
      EXPECT_TRUE(Decode(value, lang.codePage)) << lang.section << ": " << key << " is not " << lang.codePage;
  }
}

// The edit button's hint names the language file, the code-page text the missing file.
TEST_F(LangResFile, FormatsTakeExactlyOneText) {
  for (const auto& lang : kLanguages) {
    for (const char* key : {"btLangResEditHint", "WSNLsMissing"}) {
      std::string hint = Value(lang.section, key);
      std::size_t at = hint.find('%');
      ASSERT_NE(at, std::string::npos) << lang.section << ": no %s in " << key << "=" << hint;
      EXPECT_EQ(hint.compare(at, 2, "%s"), 0) << lang.section << ": " << key << "=" << hint;
      EXPECT_EQ(std::count(hint.begin(), hint.end(), '%'), 1) << lang.section << ": " << key << "=" << hint;
    }
  }
}

TEST_F(LangResFile, MessagesBreakTheirLinesWithStars) {
  for (const auto& lang : kLanguages) {
    std::string text = Value(lang.section, "WSSaveText");
    EXPECT_NE(text.find("**"), std::string::npos) << lang.section << ": the question has an empty line";
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << lang.section;
  }
}

TEST_F(LangResFile, ButtonsTabsAndLabelsHaveOneAcceleratorEachAllDifferent) {
  // The accelerator of a caption in the language's code page: the character after its only "&".
  auto accelerator = [](const std::string& caption, const char* codePage) -> std::optional<char32_t> {
    auto text = Decode(caption, codePage);
    if (!text || std::count(text->begin(), text->end(), U'&') != 1) return std::nullopt;
    std::size_t at = text->find(U'&');
    if (at + 1 >= text->size() || (*text)[at + 1] == U' ') return std::nullopt;
    return Fold((*text)[at + 1]);
  };
  for (const auto& lang : kLanguages) {
    std::set<char32_t> used;
    for (const char* key : kAcceleratedKeys) {
      auto letter = accelerator(Value(lang.section, key), lang.codePage);
      ASSERT_TRUE(letter) << lang.section << ": " << key << " needs exactly one accelerator";
      EXPECT_TRUE(used.insert(*letter).second) << lang.section << ": the accelerator of " << key << " is taken";
    }
    auto host = accelerator(Value(lang.section, "RSProxyHost"), lang.codePage);
    auto port = accelerator(Value(lang.section, "RSProxyPort"), lang.codePage);
    ASSERT_TRUE(host && port) << lang.section << ": the proxy labels need one accelerator each";
    EXPECT_NE(*host, *port) << lang.section << ": the proxy labels share an accelerator";
  }
}

TEST_F(LangResFile, PolishAndEnglishPointAtTheirHelpPages) {
  EXPECT_EQ(Value("Polski", "Readme"), "help/plindex.htm");
  EXPECT_EQ(Value("English", "Readme"), "help/enindex.htm");
  // The built-in default misspells this caption; the language file carries it right.
  EXPECT_EQ(Value("Polski", "mEnableAll"), "Włącz wszystkie");
  for (const auto& lang : kLanguages) {
    std::string readme = Value(lang.section, "Readme");
    EXPECT_TRUE(StartsWith(readme, "help/") && readme.size() > 9 && readme.substr(readme.size() - 4) == ".htm")
        << lang.section << ": " << readme;
  }
}

TEST_F(LangResFile, CodePageSettingsNameWhatTheFileOffers) {
  std::set<std::string> nlsFiles;
  for (const auto& [caption, file] : Read("NLSMaps")) nlsFiles.insert(file);
  std::set<std::string> charsets = {"0"};
  for (const auto& [charset, suffix] : Read("IniStrings")) charsets.insert(charset);
  for (const auto& lang : kLanguages) {
    EXPECT_EQ(Value(lang.section, "DefLangVal"), lang.defLangVal) << lang.section;
    EXPECT_TRUE(charsets.count(Value(lang.section, "DefLangVal"))) << lang.section;
    EXPECT_TRUE(nlsFiles.count(Value(lang.section, "DefNLsSubst"))) << lang.section;
  }
}

TEST_F(LangResFile, IniStringsHoldsTheSystemsOwnSuffixes) {
  const std::map<std::string, std::string> system = {
      {"238", "CE"}, {"204", "CYR"}, {"161", "Greek"}, {"162", "TUR"}, {"186", "Baltic"}};
  for (const auto& [charset, suffix] : system) EXPECT_EQ(Value("IniStrings", charset), suffix) << charset;
  auto lines = Read("IniStrings");
  EXPECT_GE(lines.size(), 9u) << "Hebrew, Arabic, Vietnamese and Thai fonts need suffixes too";
  for (const auto& [charset, suffix] : lines) {
    EXPECT_TRUE(FindScript(charset)) << "character set " << charset << " is not one fonts report";
    EXPECT_NE(charset, "0") << "the Western set gets no script entry";
    EXPECT_FALSE(suffix.empty()) << charset;
    // The suffix is part of a face name in a "name,charset=value" entry.
    EXPECT_EQ(suffix.find_first_of(" ,=\t"), std::string::npos) << charset << ": " << suffix;
  }
}

TEST_F(LangResFile, NlsMapsOffersTheStandardFileAndRealAlternatives) {
  const std::set<std::string> systemFiles = {"c_1250.nls", "c_1251.nls", "c_1252.nls", "c_1253.nls",
                                             "c_1254.nls", "c_1255.nls", "c_1256.nls", "c_1257.nls",
                                             "c_1258.nls", "c_874.nls"};
  auto lines = Read("NLSMaps");
  ASSERT_GE(lines.size(), 2u);
  std::set<std::string> files;
  bool standard = false;
  for (const auto& [caption, file] : lines) {
    EXPECT_TRUE(systemFiles.count(file)) << caption << " = " << file << " is not a code-page file of the system";
    EXPECT_TRUE(files.insert(file).second) << file << " offered twice";
    EXPECT_EQ(caption.find('&'), std::string::npos) << caption;
    standard = standard || file == "c_1252.nls";  // compared exactly, as the program does
  }
  EXPECT_TRUE(standard) << "the standard c_1252.nls must be offered";
}

TEST_F(LangResFile, EverySampleSetHasATextForEveryScript) {
  std::vector<std::string> sets = SampleSets();
  EXPECT_EQ(sets, std::vector<std::string>(std::begin(kSampleSets), std::end(kSampleSets)));
  std::set<std::string> wanted = {"0"};
  for (const auto& [charset, suffix] : Read("IniStrings")) wanted.insert(charset);
  for (const auto& set : sets) {
    EXPECT_GT(set.size(), 8u) << "a sample set shows its name from the ninth character on";
    std::set<std::string> have;
    for (const auto& [charset, text] : Read(set)) {
      have.insert(charset);
      EXPECT_FALSE(text.empty()) << set << ": " << charset;
    }
    EXPECT_EQ(have, wanted) << set;
  }
}

TEST_F(LangResFile, SamplesDecodeToTheirScript) {
  for (const auto& set : SampleSets()) {
    for (const auto& [charset, text] : Read(set)) {
      const Script* script = FindScript(charset);
      ASSERT_TRUE(script) << set << ": character set " << charset;
      auto decoded = Decode(text, script->codePage);
      ASSERT_TRUE(decoded) << set << ": " << charset << " is not valid " << script->codePage;
      int letters = 0;
      for (char32_t c : *decoded) {
        EXPECT_TRUE(c >= 0x20 && c != 0xFFFD && (c < 0x7F || c > 0x9F)) << set << ": " << charset;
        for (const auto& [from, to] : script->letters) letters += c >= from && c <= to;
      }
      EXPECT_GE(letters, script->minLetters) << set << ": " << charset << " holds too few letters of its script";
    }
  }
}

TEST_F(LangResFile, SamplesAreEncodedInTheirCharacterSetsCodePage) {
  // Byte forms of one word of each pangram, from the code-page tables.
  const std::map<std::string, std::string> words = {
      {"0", "lazy dog"},
      {"238", "\xB3\xF3" "d\x9F"},                    // łódź, 1250
      {"204", "\xE5\xF9\xB8"},                        // ещё, 1251
      {"161", "\xF8\xF5\xF7\xEF\xF6\xE8\xFC\xF1\xE1"},  // ψυχοφθόρα, 1253
      {"162", "ya\xF0\xFDz"},                         // yağız, 1254
      {"186", "\xF0paga"},                            // špaga, 1257
      {"177", "\xE3\xE2"},                            // דג, 1255
      {"178", "\xC7\xE1\xD4\xE3\xD3"},                // الشمس, 1256
      {"163", "Tr\xE3m"},                             // Trăm, 1258
      {"222", "\xA1\xC7\xE8\xD2"},                    // กว่า, 874
      {"128", "\x82\xA2\x82\xEB\x82\xCD"},            // いろは, 932
      {"129", "\xC5\xB0\xBD\xBA"},                    // 키스, 949
      {"134", "\xCC\xEC\xB5\xD8"},                    // 天地, 936
      {"136", "\xA4\xD1\xA6\x61"},                    // 天地, 950
  };
  for (const auto& [charset, text] : Read("Samplez-Pangrams")) {
    auto word = words.find(charset);
    ASSERT_NE(word, words.end()) << "no expectation for " << charset;
    EXPECT_NE(text.find(word->second), std::string::npos) << charset << ": " << text;
  }
  for (const auto& set : SampleSets()) {
    std::string polish = Value(set, "238");
    EXPECT_NE(polish.find('\xB9'), std::string::npos) << set << ": no a-ogonek of 1250";
    EXPECT_NE(polish.find('\xEA'), std::string::npos) << set << ": no e-ogonek of 1250";
  }
}

}  // namespace
}  // namespace sorel
