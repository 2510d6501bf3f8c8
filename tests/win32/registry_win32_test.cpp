// Win32Registry against the real registry, on a scratch key under HKEY_CURRENT_USER.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/win32/registry_win32.h"

namespace sorel {
namespace {

const std::string kParent = "Software\\Velmora\\SorelAssistantTests";

class RealRegistry : public testing::Test {
 protected:
  void SetUp() override {
    path = kParent + "\\" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
  }
  void TearDown() override {
    DeleteTree(path);
    // Parents go only when nothing else lives under them.
    RegDeleteKeyA(HKEY_CURRENT_USER, kParent.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora");
  }
  static void DeleteTree(const std::string& key) {
    for (const char* sub : {"\\inner\\deeper", "\\inner", ""}) RegDeleteKeyA(HKEY_CURRENT_USER, (key + sub).c_str());
  }
  std::unique_ptr<RegistryKey> Create() { return registry.Open(RegRoot::CurrentUser, path, true); }
  // Stores a value of any type, as another program would.
  void SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  Win32Registry registry;
  std::string path;
};

TEST_F(RealRegistry, OpeningWithoutCreatingFindsOnlyExistingKeys) {
  EXPECT_EQ(registry.Open(RegRoot::CurrentUser, path, false), nullptr);
  EXPECT_EQ(registry.Open(RegRoot::CurrentUser, path + "\\inner\\deeper", false), nullptr);
  EXPECT_NE(registry.Open(RegRoot::CurrentUser, path + "\\inner\\deeper", true), nullptr) << "parents are created";
  EXPECT_NE(registry.Open(RegRoot::CurrentUser, path, false), nullptr);
  EXPECT_NE(registry.Open(RegRoot::CurrentUser, path + "\\INNER", false), nullptr) << "key names ignore case";
}

// The memory registry's DenyWriteAccess stands for this: a key opened for reading reads, and
// refuses writes and deletes the way the table store relies on.
TEST_F(RealRegistry, AKeyOpenedForReadingReadsButChangesNothing) {
  EXPECT_EQ(registry.OpenForReading(RegRoot::CurrentUser, path), nullptr) << "no key, no creation";
  Create()->WriteString("Face", "Arial");
  auto key = registry.OpenForReading(RegRoot::CurrentUser, path);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("Face"), "Arial");
  try {
    key->WriteString("Face", "Other");
    ADD_FAILURE() << "the write went through";
  } catch (const PlatformError& e) {
    EXPECT_EQ(std::string(e.what()), FailedToSetDataMessage("Face"));
  }
  EXPECT_FALSE(key->DeleteValue("Face"));
  EXPECT_EQ(Create()->ReadString("Face"), "Arial");
}

TEST_F(RealRegistry, TheFontTableIsOpenWithFullAccessInOurOwnView) {
  auto key = registry.Open(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", false);
  ASSERT_NE(key, nullptr);
  auto values = key->Values();
  EXPECT_TRUE(std::any_of(values.begin(), values.end(),
                          [](const RegValueInfo& v) { return v.name == "Arial CE,238" && v.type == RegType::String; }));
  EXPECT_EQ(key->ReadString("Arial CE,238"), "Arial,238");
}

TEST_F(RealRegistry, StringsAndIntegersReadBackAsWritten) {
  auto key = Create();
  ASSERT_NE(key, nullptr);
  const std::string strings[] = {"", "plain", "Arial CE,238", "a=b=c", "\xB3\xF3\xBF\xE9\xC9 accents", std::string(3000, 'w')};
  for (const auto& s : strings) {
    key->WriteString("text", s);
    EXPECT_EQ(key->ReadString("text"), s) << s.size();
  }
  const std::int32_t integers[] = {0, 1, -1, INT32_MAX, INT32_MIN, 0x12345678};
  for (std::int32_t i : integers) {
    key->WriteInteger("number", i);
    EXPECT_EQ(key->ReadInteger("number"), i);
  }
}

TEST_F(RealRegistry, ValuesListEveryNameWithItsType) {
  auto key = Create();
  ASSERT_NE(key, nullptr);
  SetRaw("sz", REG_SZ, std::string("text\0", 5));
  SetRaw("expand", REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 12));
  SetRaw("dword", REG_DWORD, std::string("\x05\0\0\0", 4));
  SetRaw("binary", REG_BINARY, "\x01\x02\x03");
  SetRaw("multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  SetRaw("none", REG_NONE, "");
  key->WriteString("", "the default value");

  std::vector<std::pair<std::string, std::uint32_t>> got;
  for (const auto& v : key->Values()) got.emplace_back(v.name, v.type);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<std::pair<std::string, std::uint32_t>>{{"", RegType::String},
                                                                     {"binary", RegType::Binary},
                                                                     {"dword", RegType::DWord},
                                                                     {"expand", RegType::ExpandString},
                                                                     {"multi", RegType::MultiString},
                                                                     {"none", RegType::None},
                                                                     {"sz", RegType::String}}));
  EXPECT_EQ(key->ReadString(""), "the default value");
  EXPECT_TRUE(key->ValueExists(""));
}

// Values written in Unicode by another program: those whose name or text the ANSI code page
// cannot hold, exactly and without look-alikes, are reported as inexact.
TEST_F(RealRegistry, ValuesTellWhichTheCodePageHoldsExactly) {
  ASSERT_NE(Create(), nullptr);
  const bool westernLetters = GetACP() == 1252 || GetACP() == 1250;  // both hold é
  struct Case {
    const wchar_t* name;
    DWORD type;
    const wchar_t* text;
    bool exact;
  };
  const Case cases[] = {
      {L"1 Plain", REG_SZ, L"Arial", true},
      {L"2 Alpha \x03A9", REG_SZ, L"Alpha", false},                  // a Greek letter in the name
      {L"3 MS Mincho", REG_SZ, L"\xFF2D\xFF33 \x660E\x671D", false},   // CJK in the text only
      {L"4 Macron \x0100", REG_SZ, L"x", false},                      // best fit would make it "A"
      {L"5 Number \x03A9", REG_DWORD, L"", false},                    // a name is a name whatever the type
      {L"6 Bytes", REG_BINARY, L"\xFF2D", true},                      // binary data is not text
      {L"7 Caf\x00E9", REG_SZ, L"\x00E9", westernLetters},
  };
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  for (const auto& c : cases) {
    const std::wstring text = c.text;
    const DWORD number = 7;
    const BYTE* data = c.type == REG_DWORD ? reinterpret_cast<const BYTE*>(&number)
                                           : reinterpret_cast<const BYTE*>(text.c_str());
    const DWORD size = c.type == REG_DWORD ? sizeof(number) : static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(RegSetValueExW(key, c.name, 0, c.type, data, size), ERROR_SUCCESS);
  }
  RegCloseKey(key);

  // Each name begins with its case's number, which every code page holds.
  const auto values = registry.Open(RegRoot::CurrentUser, path, false)->Values();
  ASSERT_EQ(values.size(), std::size(cases));
  for (const auto& value : values) {
    const Case& c = cases[value.name[0] - '1'];
    EXPECT_EQ(value.exact, c.exact) << value.name;
    EXPECT_EQ(value.type, c.type) << value.name;
    if (c.exact) EXPECT_EQ(std::wstring(value.name.begin(), value.name.end()).substr(0, 3), std::wstring(c.name).substr(0, 3));
  }
}

TEST_F(RealRegistry, ReadsOfTheWrongTypeRaiseTheRegistryLayersError) {
  auto key = Create();
  ASSERT_NE(key, nullptr);
  SetRaw("sz", REG_SZ, std::string("text\0", 5));
  SetRaw("unterminated", REG_SZ, "bare");
  SetRaw("expand", REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 12));
  SetRaw("dword", REG_DWORD, std::string("\x05\0\0\0", 4));
  SetRaw("binary", REG_BINARY, "\x01\x02\x03\x04");
  SetRaw("multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));

  const struct {
    const char* name;
    const char* asString;  // nullptr: ReadString throws
    bool isInteger;
  } cases[] = {
      {"sz", "text", false},
      {"unterminated", "bare", false},
      {"expand", "%WINDIR%\\x", false},  // read as stored, not expanded
      {"absent", "", false},
      {"dword", nullptr, true},
      {"binary", nullptr, false},
      {"multi", nullptr, false},
  };
  for (const auto& c : cases) {
    const std::string message = "Invalid data type for '" + std::string(c.name) + "'";
    if (c.asString) {
      EXPECT_EQ(key->ReadString(c.name), c.asString) << c.name;
    } else {
      try {
        key->ReadString(c.name);
        ADD_FAILURE() << c.name << " read as a string";
      } catch (const PlatformError& e) {
        EXPECT_EQ(e.what(), message);
      }
    }
    if (c.isInteger) {
      EXPECT_EQ(key->ReadInteger(c.name), 5) << c.name;
    } else {
      try {
        key->ReadInteger(c.name);
        ADD_FAILURE() << c.name << " read as an integer";
      } catch (const PlatformError& e) {
        EXPECT_EQ(e.what(), message);
      }
    }
  }
}

// A value of another type under the name is replaced by a text write: the program repairs a
// wrong-typed setting so.
TEST_F(RealRegistry, TextWriteReplacesAValueOfAnotherType) {
  auto key = Create();
  ASSERT_NE(key, nullptr);
  SetRaw("Language", REG_DWORD, std::string("\x05\0\0\0", 4));
  key->WriteString("language", "English");
  EXPECT_EQ(key->ReadString("Language"), "English");
  const auto values = key->Values();
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].type, RegType::String);
}

TEST_F(RealRegistry, DeletingAValueWorksOnce) {
  auto key = Create();
  ASSERT_NE(key, nullptr);
  key->WriteString("gone", "x");
  EXPECT_TRUE(key->ValueExists("gone"));
  EXPECT_TRUE(key->DeleteValue("GONE")) << "value names ignore case";
  EXPECT_FALSE(key->ValueExists("gone"));
  EXPECT_FALSE(key->DeleteValue("gone"));
  EXPECT_EQ(key->ReadString("gone"), "");
}

// A key deleted while open refuses writes; the error names the value.
TEST_F(RealRegistry, WritesToADeletedKeyRaiseFailedToSetData) {
  auto key = Create();
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
  try {
    key->WriteString("name", "x");
    ADD_FAILURE() << "string written to a deleted key";
  } catch (const PlatformError& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'name'");
  }
  try {
    key->WriteInteger("count", 1);
    ADD_FAILURE() << "integer written to a deleted key";
  } catch (const PlatformError& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'count'");
  }
}

}  // namespace
}  // namespace sorel
